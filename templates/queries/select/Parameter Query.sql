PARAMETERS [Start Date] DateTime, [End Date] DateTime;
SELECT {table1}.*
FROM {table1}
WHERE {table1}.{field1} Between [Start Date] And [End Date]
ORDER BY {table1}.{field1};
