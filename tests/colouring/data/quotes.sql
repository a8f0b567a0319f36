SELECT 'it''s' AS t
FROM [Order Details] AS od
WHERE od.Name = "a, (b)"
AND x = 'unclosed ( [ quote
AND y = 1
AND z = "mixed'
AND [a].[b]=1
