# Statements of the bill browser and the browse report, with operator 002's group filter and
# operator 003's own-bills filter. Block format: tests/core/tsql_StatementCorpusTest.cpp.

# browser load: the two-step list template
Select IsNull(FSQL,'') FSQL From GLSelect Where FDH='仓库调拨浏览1'
rows 0

# browser load: the one-step list template
Select IsNull(FSQL,'') FSQL From GLSelect Where FDH='仓库调拨浏览2'
rows 0

# browser load: the module's right model
select Guid from rightmodel Where OldRightModel='A10402'
rows 1

# browser load: the operator's Guid
Select Guid From Operators Where Code='001'
expect
{9E4A7C21-1B3D-4F5E-8A01-000000000001}

# browser load: the system variables
select * from sys_Var
rows 1

# bill list, two-step layout, no restriction
Select A.LSH AS 流水号,A.KDRQ AS 开单日期,a.dcstockid as 拨出仓库编号,case when b.id is null then '[仓库已删除]' else b.name end as 拨出仓库名称,a.drstockid as 拨入仓库编号,case when d.id is null then '[仓库已删除]' else d.name end as 拨入仓库名称,A.BZ AS 备注,A.CZRY AS 操作人员,A.PRESHBZ AS 审核标志,A.PRESHRY AS 审核人员,A.SHBZ AS 确认标志,A.SHRY AS 确认人员  From CKDBDZK  A left join gl_stock b on a.dcstockid = b.id left join gl_stock d on a.drstockid=d.id Where A.JZBZ = 0  Order By A.LSH
expect
DBD202403010001 | 2024-03-01 | 01 | 总仓 | 02 | 一号门店仓 | 门店补货 | 系统管理员 | NULL | NULL | 0 | 
DBD202403010002 | 2024-03-01 | 01 | 总仓 | 05 | 中药饮片仓 | 饮片补货 | 张三 | NULL | NULL | 0 | 
DBD202403020003 | 2024-03-02 | 01 | 总仓 | 03 | 二号门店仓 | 二号店缺货调拨 | 系统管理员 | NULL | NULL | 1 | 系统管理员
DBD202403020004 | 2024-03-02 | 03 | 二号门店仓 | 02 | 一号门店仓 | 门店间调剂 | 李四 | NULL | NULL | 0 | 

# bill list, two-step layout, the bills of the operator's groups (operator 002)
Select A.LSH AS 流水号,A.KDRQ AS 开单日期,a.dcstockid as 拨出仓库编号,case when b.id is null then '[仓库已删除]' else b.name end as 拨出仓库名称,a.drstockid as 拨入仓库编号,case when d.id is null then '[仓库已删除]' else d.name end as 拨入仓库名称,A.BZ AS 备注,A.CZRY AS 操作人员,A.PRESHBZ AS 审核标志,A.PRESHRY AS 审核人员,A.SHBZ AS 确认标志,A.SHRY AS 确认人员  From CKDBDZK  A left join gl_stock b on a.dcstockid = b.id left join gl_stock d on a.drstockid=d.id Where A.JZBZ = 0     and (czry In (Select Distinct b.name From OperatorGroupMember a inner join operators b on a.operatorguid=b.guid Where a.GroupGuid In (Select a.GroupGuid from OperatorGroupMember a inner join operators b on a.operatorguid=b.guid Where a.OperatorGuid='{9E4A7C21-1B3D-4F5E-8A01-000000000002}')))  Order By A.LSH
rows 2

# bill list, one-step layout, the operator's own bills (operator 003)
Select A.LSH AS 流水号,A.KDRQ AS 开单日期,a.dcstockid as 拨出仓库编号,case when b.id is null then '[仓库已删除]' else b.name end as 拨出仓库名称,a.drstockid as 拨入仓库编号,case when d.id is null then '[仓库已删除]' else d.name end as 拨入仓库名称,A.BZ AS 备注,A.CZRY AS 操作人员,A.SHBZ AS 审核标志,A.SHRY AS 审核人员  From CKDBDZK  A left join gl_stock b on a.dcstockid = b.id left join gl_stock d on a.drstockid=d.id Where A.JZBZ=0    and (czry='李四')  Order By A.LSH
expect
DBD202403020004 | 2024-03-02 | 03 | 二号门店仓 | 02 | 一号门店仓 | 门店间调剂 | 李四 | 0 | 

# bill list, one-step layout, a bill whose in-warehouse was removed from gl_stock
update gl_stock set id='55' where id='05'
affects 1

Select A.LSH AS 流水号,A.KDRQ AS 开单日期,a.dcstockid as 拨出仓库编号,case when b.id is null then '[仓库已删除]' else b.name end as 拨出仓库名称,a.drstockid as 拨入仓库编号,case when d.id is null then '[仓库已删除]' else d.name end as 拨入仓库名称,A.BZ AS 备注,A.CZRY AS 操作人员,A.SHBZ AS 审核标志,A.SHRY AS 审核人员  From CKDBDZK  A left join gl_stock b on a.dcstockid = b.id left join gl_stock d on a.drstockid=d.id Where A.JZBZ=0  Order By A.LSH
rows 4
expect select count(*) from ckdbdzk
4

update gl_stock set id='05' where id='55'
affects 1

# setup: a header whose lines were all deleted
insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,bz,czry,shbz,shry,jzbz) values ('DBD202403050005','2024-03-05','01','02','','系统管理员',0,'',0)
affects 1

# refresh: headers without lines whose confirmation flag is 0 are removed
Delete A From CKDBDZK A LEFT JOIN ckdbdzkMX B ON A.LSH=B.LSH WHERE B.LSH IS NULL AND A.SHBZ=0
affects 1
expect select count(*) from ckdbdzk
4

# browse report: every unposted bill line, the operator's own bills
SELECT A.LSH AS 流水号, A.KDRQ AS 开单日期,A.DCSTOCKID AS 拨出仓库编号,A.DRSTOCKID AS 拨入仓库编号, A.BZ AS 备注, A.CZRY AS 操作人员,  E.NAME AS 仓库名称, B.DH AS 单号, B.HH AS 货号, C.LB AS 类别代号, D.NAME AS 类别名称, C.PM AS 品名, C.GG AS 规格, C.CD AS 产地, C.PDW AS 单位, B.DJ AS 单价, B.SL AS 数量, B.JE AS 金额  FROM CKDBDzk A LEFT JOIN CKDBDzkMX B ON A.LSH = B.LSH LEFT JOIN YW_KCK C ON B.HH = C.HH LEFT JOIN KCLB D ON C.LB = D.ID LEFT JOIN GL_Stock E ON A.DCStockID = E.ID Where a.jzbz=0  and (czry='李四') Order By A.LSH
rows 1

# browse report: no restriction
SELECT A.LSH AS 流水号, A.KDRQ AS 开单日期,A.DCSTOCKID AS 拨出仓库编号,A.DRSTOCKID AS 拨入仓库编号, A.BZ AS 备注, A.CZRY AS 操作人员,  E.NAME AS 仓库名称, B.DH AS 单号, B.HH AS 货号, C.LB AS 类别代号, D.NAME AS 类别名称, C.PM AS 品名, C.GG AS 规格, C.CD AS 产地, C.PDW AS 单位, B.DJ AS 单价, B.SL AS 数量, B.JE AS 金额  FROM CKDBDzk A LEFT JOIN CKDBDzkMX B ON A.LSH = B.LSH LEFT JOIN YW_KCK C ON B.HH = C.HH LEFT JOIN KCLB D ON C.LB = D.ID LEFT JOIN GL_Stock E ON A.DCStockID = E.ID Where a.jzbz=0  Order By A.LSH
rows 8
