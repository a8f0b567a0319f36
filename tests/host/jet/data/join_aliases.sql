SELECT O.OrderID, C.CompanyName, S.CompanyName AS Shipper
FROM ((Orders AS O INNER JOIN Customers C ON O.CustomerID = C.CustomerID)
  LEFT JOIN Companies AS S ON O.ShipVia = S.CompanyID)
  RIGHT OUTER JOIN Companies AS B ON B.CompanyID = C.BillingCompany;
