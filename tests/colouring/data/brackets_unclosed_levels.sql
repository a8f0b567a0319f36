SELECT (((a + (b FROM t WHERE [[x] = ((c
AND ((d) = [