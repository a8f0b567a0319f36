IIf({field} Is Null, {value1}, {field})
