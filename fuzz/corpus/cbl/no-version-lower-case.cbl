<?xml version="1.0" encoding="iso-8859-1"?>
<CodeButtons>
  <buttoncount>1</buttoncount>
  <button0>
    <classname>TMachOEMButton</classname>
    <OEMButtonType>264</OEMButtonType>
  </button0>
</CodeButtons>
