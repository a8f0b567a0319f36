
SELECT [Order Details].[Unit Price], [O'Brien's Table].[Customer's Name], [Sales % (net)]![Net #1] AS [Net "1"]
FROM [Order Details], [O'Brien's Table], [Sales % (net)]
WHERE [O'Brien's Table].[Customer's Name] = 'O''Brien' Or [Order Details].[Note] = "say ""hi""";
