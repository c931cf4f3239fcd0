<?xml version="1.0" encoding="iso-8859-1"?>
<CodeButtons>
  <version>1.00</version>
</CodeButtons>
