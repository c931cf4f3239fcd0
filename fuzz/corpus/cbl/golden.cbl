<?xml version="1.0" encoding="iso-8859-1"?>
<CodeButtons>
  <version>1.0</version>
  <Top>27</Top>
  <Left>519</Left>
  <ButtonCount>3</ButtonCount>
  <Button0>
    <ClassName>TMachCodeButton</ClassName>
    <Caption>Flood &amp; Go</Caption>
    <Code>M8
G0 X1 (a&lt;b)</Code>
  </Button0>
  <Button1>
    <ClassName>TMachVBScriptButton</ClassName>
    <Caption>D&#xFC;se</Caption>
    <Code>Message &quot;Hi&quot;</Code>
  </Button1>
  <Button2>
    <ClassName>TMachOEMButton</ClassName>
    <Caption>OEM Btn: 3</Caption>
    <OEMButtonType>5</OEMButtonType>
  </Button2>
</CodeButtons>
