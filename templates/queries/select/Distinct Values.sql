SELECT DISTINCT {table1}.{field1}
FROM {table1}
ORDER BY {table1}.{field1};
