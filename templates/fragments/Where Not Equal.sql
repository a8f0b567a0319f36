WHERE {field1} <> {value1}
