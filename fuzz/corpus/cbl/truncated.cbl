<?xml version="1.0" encoding="iso-8859-1"?>
<CodeButtons>
  <ButtonCount>1</ButtonCount>
  <Button0>
    <ClassName>TMachCodeButton</ClassName>
    <Code>G0 X