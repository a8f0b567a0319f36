PARAMETERS Since DateTime;
(SELECT Name FROM Customers WHERE Joined >= Since) UNION TABLE [Old Customers] UNION SELECT Name FROM Prospects
WITH OWNERACCESS OPTION;
