If Exists(Select [Name] From Tempdb..SysObjects Where [Name] Like '%WS1') Drop Table ##WS1
