-- The rows a new account book starts with.
INSERT INTO reginfo (F7) VALUES ('2026-01-01');
INSERT INTO pathtxm (F5) VALUES ('2026-01-01');
INSERT INTO TE1 (F1, F2, F3, F61, F62, F63, F64, F65, F66, F75, pad)
    VALUES ('001', '系统管理员', '', 1, 1, 1, 1, 1, 1, '', '');
INSERT INTO sysinfo (ID, setval, setstr) VALUES (0, 0, '');
INSERT INTO sysinfo (ID, setval, setstr) VALUES (1, 0, '');
INSERT INTO sysinfo (ID, setval, setstr) VALUES (2, 0, '');
INSERT INTO theVer (Versn) VALUES ('');
INSERT INTO TA1 (F1, F2) VALUES ('001', '默认货品来源');
INSERT INTO TA2 (F1, F2) VALUES ('001', '默认货品去向');
INSERT INTO TA3 (F1, F2) VALUES ('001', '所有货品');
INSERT INTO c15set (D1, D2, A3, A4) VALUES ('', '', '', '');
