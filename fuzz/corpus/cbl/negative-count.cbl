<?xml version="1.0" encoding="iso-8859-1"?>
<CodeButtons>
  <ButtonCount>-5</ButtonCount>
  <Button0>
    <ClassName>TMachCodeButton</ClassName>
  </Button0>
</CodeButtons>
