WHERE {field1} >= Date() - 30
