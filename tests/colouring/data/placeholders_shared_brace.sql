SELECT {VALUE {table x} y}, {Field a {VALUE b}
WHERE {value c} = {TABLE
{FIELD d} AND {x} {TABLE e {FIELD 