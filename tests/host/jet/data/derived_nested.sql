SELECT Outer1.*
FROM (SELECT Inner1.CustomerID FROM (SELECT CustomerID FROM Orders WHERE Amount > (SELECT Avg(Amount) FROM Orders)) AS Inner1) AS Outer1 INNER JOIN Customers ON Outer1.CustomerID = Customers.CustomerID;
