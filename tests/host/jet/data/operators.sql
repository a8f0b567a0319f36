SELECT IIf(IsNull(a.x), "none", a.x) AS v, -a.y ^ 2 Mod 3 \ 2 AS w, a.z Is Not Null AS n, Not a.f Xor a.g Eqv a.h Imp True AS b FROM a;
