INSERT INTO Log VALUES (1, "started", Now());
