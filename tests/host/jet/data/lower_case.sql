select distinctrow top 5 t.a, u.b from t, t as u where t.a in (1, 2, 3) and u.b not between 1 and 5 or exists (select * from v where v.x = t.a) order by t.a asc
