SELECT E.Name, M.Name AS Manager, D.Total
FROM (Employees AS E LEFT JOIN Employees AS M ON E.ManagerID = M.EmployeeID)
  INNER JOIN ((SELECT EmployeeID, Sum(Amount) AS Total FROM Sales GROUP BY EmployeeID) AS D
    INNER JOIN Regions ON D.EmployeeID = Regions.EmployeeID) ON E.EmployeeID = D.EmployeeID;
