select SC.[Name] As FieldName from SysObjects As SO Inner Join SysColumns As SC On (SO.[id] = SC.[id]) Where SO.Type = 'U' And SC.Status <> 128 And SO.[Name] = 'KALA'
update N_Cash set firstbed=rem from ##T2 H,N_Cash N where sorder1='XX' and N.cashcod='001' and rem>=0
