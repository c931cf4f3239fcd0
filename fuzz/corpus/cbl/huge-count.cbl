<?xml version="1.0" encoding="iso-8859-1"?>
<CodeButtons>
  <ButtonCount>2147483647</ButtonCount>
  <Button1>
    <ClassName>TMachCodeButton</ClassName>
  </Button1>
</CodeButtons>
