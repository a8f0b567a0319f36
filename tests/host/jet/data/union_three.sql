SELECT Name, City FROM Customers
UNION SELECT Name, City FROM Suppliers
UNION ALL (SELECT Name, City FROM Employees WHERE Active = True)
ORDER BY City;
