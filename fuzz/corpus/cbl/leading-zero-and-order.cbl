<?xml version="1.0" encoding="iso-8859-1"?>
<CodeButtons>
  <ButtonCount>3</ButtonCount>
  <Button2><ClassName>TMachCodeButton</ClassName><Caption>two</Caption></Button2>
  <Button01><ClassName>TMachCodeButton</ClassName></Button01>
  <Button0><ClassName>TMachCodeButton</ClassName><Caption>zero</Caption></Button0>
  <BUTTON0><ClassName>TMachOEMButton</ClassName></BUTTON0>
</CodeButtons>
