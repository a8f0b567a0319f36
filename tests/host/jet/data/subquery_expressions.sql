SELECT c.Name, (SELECT Count(*) FROM Orders AS o WHERE o.CustomerID = c.CustomerID) AS Orders
FROM Customers AS c
WHERE c.CustomerID IN (SELECT CustomerID FROM Orders UNION SELECT CustomerID FROM Quotes)
  AND c.Rating > ALL (SELECT Rating FROM Competitors) AND Not Exists (SELECT * FROM Blocked WHERE Blocked.ID = c.CustomerID)
  AND c.Name Not Like "[!A-M]*" AND c.Code Not In ("X", "Y") AND c.Balance + .5 * -2 <> 0;
