WHERE {field1} Like {value1} & '*'
