WHERE {field1} Between {value1} And {value2}
