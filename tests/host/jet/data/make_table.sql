SELECT DISTINCT Customers.Country INTO [Country List] IN 'C:\data\other.mdb'
FROM Customers;
