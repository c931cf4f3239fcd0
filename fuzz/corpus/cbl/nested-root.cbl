<?xml version="1.0" encoding="iso-8859-1"?>
<Other>
  <CodeButtons>
    <ButtonCount>1</ButtonCount>
    <Button0><ClassName>TMachCodeButton</ClassName><Caption>in</Caption></Button0>
  </CodeButtons>
</Other>
