SELECT {table1}.*
FROM {table1}
WHERE {table1}.{field1} In (SELECT Tmp.{field1} FROM {table1} AS Tmp GROUP BY Tmp.{field1} HAVING Count(*) > 1)
ORDER BY {table1}.{field1};
