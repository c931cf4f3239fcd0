<?xml version="1.0" encoding="iso-8859-1"?>
<CodeButtons>
  <Top>x</Top>
  <ButtonCount>3</ButtonCount>
  <Button0>
    <ClassName>TMachOEMButton</ClassName>
    <OEMButtonType>0</OEMButtonType>
  </Button0>
  <Button1>
    <ClassName>TMachOEMButton</ClassName>
    <OEMButtonType>265</OEMButtonType>
  </Button1>
  <Button2>
    <ClassName>TMachCodeButton</ClassName>
  </Button2>
</CodeButtons>
