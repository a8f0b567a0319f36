SELECT {field1}, {FIELD name} FROM {table1}
WHERE x = {VALUE
y} AND z = {table
ORDER BY {f}
AND {TABLE nothing here