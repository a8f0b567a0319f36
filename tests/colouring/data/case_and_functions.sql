select Select SELECT sElEcT
a Like b, a LIKE b, a like b
x And y AND z and w
Not NOT not
Count(x) Count (x)
a IN(1) a IN (2) a In (3)
Sum([Unit Price]) my_func(1)
SELECTED FROMAGE
