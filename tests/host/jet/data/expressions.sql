SELECT [FirstName] & " " & [LastName] AS FullName, Len([LastName]) AS Length, Count(*) AS N, e.Title
FROM Employees AS e
GROUP BY [FirstName] & " " & [LastName], Len([LastName]), e.Title
HAVING Count(*) > 1 And e.Title Like "Sales*"
ORDER BY 2;
