SELECT ((a + b) FROM t
WHERE (c = 1))
AND d = ')' AND e IN (1
AND [x.y = 1
AND q] = 2]
