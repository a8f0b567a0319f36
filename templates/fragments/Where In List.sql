WHERE {field1} In ({value1}, {value2}, {value3})
