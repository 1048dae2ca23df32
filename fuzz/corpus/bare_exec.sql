KELVARO_1_1402..sp_N_Report_Cash '##T2', 'NO', -1, @x OUTPUT, DEFAULT, N'سند', $12.5, 0x1F
