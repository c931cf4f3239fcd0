<?xml version="1.0" encoding="iso-8859-1"?>
<CodeButtons>
  <ButtonCount>2</ButtonCount>
  <Button0>
    <ClassName>TMachVBScriptButton</ClassName>
    <Code>a
b</Code>
  </Button0>
  <Button1>
    <ClassName>TButton</ClassName>
  </Button1>
</CodeButtons>
