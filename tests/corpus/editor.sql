# Statements of the bill editor: its templates and built-in lists, numbering, loading a bill,
# the warehouse choice, the goods look-up, the goods panel and the units.
# Samples: operator 001 (系统管理员), out-warehouse 01, in-warehouse 02, goods 0001; operator
# 003's warehouse scope " and ID in ('01','02','03')". Block format: tests/core/tsql_StatementCorpusTest.cpp.

# editor load: the out-warehouse list template
Select FSQL From GLSelect Where FDH='调出仓库选择'
rows 0

# editor load: the in-warehouse list template
Select FSQL From GLSelect Where FDH='调入仓库选择'
rows 0

# editor load: the goods list template
Select FSQL From GLSelect Where FDH='仓库调拨商品选择'
rows 0

# editor load: the batch list template
select fsql from glselect where fdh ='仓库调拨单批次选择'
rows 0

# numbering: the number rule (the unused second rule row is left out)
select * from t_billnum where fid=75 and fused=1
rows 1

# numbering: the operator's counter
select dblsh from sys_dh where id ='002'
expect
1012

# numbering: the operator's counter is advanced after the first line is stored
update sys_dh set dblsh =dblsh+1 where id='002'
affects 1
expect select dblsh from sys_dh where id='002'
1013

# numbering: a counter that was never used stays NULL when advanced this way, so every bill of
# that operator would get the same serial; the counter must start from its default 1000
update sys_dh set dblsh =dblsh+1 where id='003'
affects 1
expect select dblsh from sys_dh where id='003'
NULL

# numbering: the counter advanced from its default when it is NULL
update sys_dh set dblsh =isnull(dblsh,1000)+1 where id='003'
affects 1
expect select dblsh from sys_dh where id='003'
1001

# numbering: the rule's number is advanced after the first line is stored
update t_billnum set fmaxnum = fmaxnum+1 where fid=75 and fused=1
affects 1
expect select fused, FmaxNum from t_billnum where fid=75 order by fused
0 | 1
1 | 6

# saving the first line: is there a header under the new serial?
select * from ckdbdzk where lsh='DBD202403050005'
rows 0

# saving the first line: a new header
insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,bz,czry,shbz,shry,jzbz) values ('DBD202403050005','2024-03-05','01','02','门店补货','系统管理员',0,'',0)
affects 1
expect select lsh, kdrq, dcstockid, drstockid, bz, czry, PreShbz, shbz, shry, jzbz from ckdbdzk where lsh='DBD202403050005'
DBD202403050005 | 2024-03-05 | 01 | 02 | 门店补货 | 系统管理员 | NULL | 0 |  | 0

# saving a later line: the header is overwritten; a quote in the remark is doubled
update ckdbdzk set kdrq='2024-03-06',bz='王''s 补货',czry='系统管理员',dcstockid='01',drstockid='03' where lsh='DBD202403050005'
affects 1
expect select kdrq, bz, drstockid from ckdbdzk where lsh='DBD202403050005'
2024-03-06 | 王's 补货 | 03

# editor close: headers without lines and without a confirmation are removed
Delete A From Ckdbdzk A Left Join CkdbdzkMx B On A.Lsh=B.Lsh Where IsNull(A.Shbz,0)=0 And B.Lsh Is Null
affects 1
expect select count(*) from ckdbdzk
4

# loading a bill: header and lines with both warehouse names
select *,c.name as dcckname,d.name as drckname,a.hh from ckdbdzkmx a inner join ckdbdzk b on a.lsh = b.lsh inner join gl_stock c on b.dcstockid=c.id left join gl_stock d on b.drstockid=d.id  where b.lsh='DBD202403010001'
rows 3

# loading a bill: the configured grid columns
select fsql from glselect where fdh='仓库调拨单'
rows 0

# loading a bill: a configured column list
select a.dh as 单号,a.hh as 货号,a.pm as 品名,a.sl as 数量,b.czry as 操作人员 from CKDBDZKmx a inner join CKDBDZK b on a.lsh=b.lsh where a.lsh='DBD202403010001' order by a.dh
expect
1001 | 0001 | 阿莫西林胶囊 | 20 | 系统管理员
1002 | 0003 | 布洛芬缓释胶囊 | 12 | 系统管理员
1003 | 0014 | 感冒灵颗粒 | 10 | 系统管理员

# loading a bill: the default grid columns with prices
select dh as 单号,a.hh as 货号,case when c.hh is null then '[商品已删除]' + isnull(a.PM,'') else a.PM end as 品名,c.pdw as 单位,a.dj as 单价,a.sl as 数量,a.je as 金额,a.lsze as 零售总额,a.bz as 备注 from CKDBDZKmx a inner join CKDBDZK  b on a.lsh=b.lsh left join yw_kck c on a.hh=c.hh where a.lsh='DBD202403010001' order by a.dh
expect
1001 | 0001 | 阿莫西林胶囊 | 盒 | 7.64 | 20 | 152.8 | 250 | 门店补货
1002 | 0003 | 布洛芬缓释胶囊 | 盒 | 15.2 | 12 | 182.4 | 297.6 | 门店补货
1003 | 0014 | 感冒灵颗粒 | 盒 | 10.8 | 10 | 108 | 165 | 门店补货

# loading a bill: the default grid columns when transfers carry no price
select dh as 单号,a.hh as 货号,case when c.hh is null then '[商品已删除]' + isnull(a.PM,'') else a.PM end as 品名,c.pdw as 单位,0 as 单价,a.sl as 数量,0 as 金额,a.lsze as 零售总额,a.bz as 备注 from CKDBDZKmx a inner join CKDBDZK  b on a.lsh=b.lsh left join yw_kck c on a.hh=c.hh where a.lsh='DBD202403020004' order by a.dh
expect
1001 | 0005 | 奥美拉唑肠溶胶囊 | 盒 | 0 | 6 | 0 | 111.6 | 门店间调剂

# out-warehouse choice: the full list but the in-warehouse, within the operator's scope
select a.id as 仓库代码,a.name as 仓库名称 from gl_stock a where 1=1  and id <> '02'  and ID in ('01','02','03') Order by a.id
expect
01 | 总仓
03 | 二号门店仓

# out-warehouse choice: a typed id
select a.id as 仓库代码,a.name as 仓库名称 from gl_stock a where 1=1  and id ='01' and id<>'02'  Order by a.id
expect
01 | 总仓

# out-warehouse choice: a typed code prefix
select a.id as 仓库代码,a.name as 仓库名称 from gl_stock a where 1=1  and id <>'02' and KM5 like '01%'  Order by a.id
expect
01 | 总仓
04 | 冷链仓
05 | 中药饮片仓
06 | 医疗器械仓

# in-warehouse choice: the full list but the out-warehouse
select a.id as 仓库代码,a.name as 仓库名称 from gl_stock a where 1=1  and id<>'01'  Order by a.id
rows 11

# in-warehouse choice: a typed id
select a.id as 仓库代码,a.name as 仓库名称 from gl_stock a where 1=1  and id ='02' and id<>'01'  Order by a.id
expect
02 | 一号门店仓

# in-warehouse choice: a typed code prefix
select a.id as 仓库代码,a.name as 仓库名称 from gl_stock a where 1=1   and id<>'01' and KM5 like '03%'  Order by a.id
expect
09 | 东区配送中心
10 | 西区配送中心

# goods look-up: an exact goods number among the goods the out-warehouse holds
select a.hh as 货号,a.Pm_zjm as 品名助记码,a.lb as 类别,a.pm as 品名,a.bm as 别名,a.gg as 规格,a.cd as 产地,a.mjl as 包装,a.pdw as 单位,b.kh as 位置,b.sjsl as 库存数量,a.pfj as 批发价,a.lsj as 零售价,a.sj as 实价,a.zk as 折扣,a.cbj as 成本价,a.jj as 最后进价,a.fonlymoney as 金额品种,b.sjlsje as 实际零售金额 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='01' and (b.sjsl > 0 or b.sjlsje<>0) and isnull(a.hs_tag,0)=0  and a.hh ='0001' and isnull(a.hs_tag,0)=0   order by a.hh
rows 1

# goods look-up: every goods of the out-warehouse with stock or a retail amount ("*" or F7)
select a.hh as 货号,a.Pm_zjm as 品名助记码,a.lb as 类别,a.pm as 品名,a.bm as 别名,a.gg as 规格,a.cd as 产地,a.mjl as 包装,a.pdw as 单位,b.kh as 位置,b.sjsl as 库存数量,a.pfj as 批发价,a.lsj as 零售价,a.sj as 实价,a.zk as 折扣,a.cbj as 成本价,a.jj as 最后进价,a.fonlymoney as 金额品种,b.sjlsje as 实际零售金额 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='01' and (b.sjsl > 0 or b.sjlsje<>0) and isnull(a.hs_tag,0)=0    order by a.hh
rows 39

# goods look-up: without stock the zero-stock goods are found only with the box ticked
select a.hh as 货号,a.Pm_zjm as 品名助记码,a.lb as 类别,a.pm as 品名,a.bm as 别名,a.gg as 规格,a.cd as 产地,a.mjl as 包装,a.pdw as 单位,b.kh as 位置,b.sjsl as 库存数量,a.pfj as 批发价,a.lsj as 零售价,a.sj as 实价,a.zk as 折扣,a.cbj as 成本价,a.jj as 最后进价,a.fonlymoney as 金额品种,b.sjlsje as 实际零售金额 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='02' and (b.sjsl > 0 or b.sjlsje<>0) and isnull(a.hs_tag,0)=0  and a.hh like '%21%'  order by a.hh
rows 0

# goods look-up: the same pattern with the zero-stock box ticked
select a.hh as 货号,a.Pm_zjm as 品名助记码,a.lb as 类别,a.pm as 品名,a.bm as 别名,a.gg as 规格,a.cd as 产地,a.mjl as 包装,a.pdw as 单位,b.kh as 位置,b.sjsl as 库存数量,a.pfj as 批发价,a.lsj as 零售价,a.sj as 实价,a.zk as 折扣,a.cbj as 成本价,a.jj as 最后进价,a.fonlymoney as 金额品种,b.sjlsje as 实际零售金额 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='02' and isnull(a.hs_tag,0)=0  and a.hh like '%21%'  order by a.hh
rows 1

# goods look-up: a goods number ending in the typed text
select a.hh as 货号,a.pm as 品名,b.sjsl as 库存数量 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='01' and (b.sjsl > 0 or b.sjlsje<>0) and isnull(a.hs_tag,0)=0  and a.hh like '%01'  order by a.hh
expect
0001 | 阿莫西林胶囊 | 230

# goods look-up: a goods number beginning with the typed text, within a goods scope
select a.hh as 货号,a.pm as 品名,b.sjsl as 库存数量 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='01' and (b.sjsl > 0 or b.sjlsje<>0) and isnull(a.hs_tag,0)=0  and a.hh like '000%'  and A.HH in ('0002','0003') order by a.hh
expect
0002 | 头孢克肟分散片 | 320
0003 | 布洛芬缓释胶囊 | 390

# goods look-up: a mnemonic code from its start; the quote of the typed text is doubled
select a.hh as 货号,a.pm as 品名,b.sjsl as 库存数量 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='01' and (b.sjsl > 0 or b.sjlsje<>0) and isnull(a.hs_tag,0)=0  and a.pm_zjm like 'amx''%'  order by a.hh
rows 0

# goods look-up: a mnemonic code anywhere in the code, compared without regard to case
select a.hh as 货号,a.pm as 品名,b.sjsl as 库存数量 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='01' and (b.sjsl > 0 or b.sjlsje<>0) and isnull(a.hs_tag,0)=0  and a.pm_zjm like '%xlj%'  order by a.hh
expect
0001 | 阿莫西林胶囊 | 230

# goods look-up: a template with the customer placeholder replaced by an empty literal
select a.hh as 货号,a.pm as 品名,'' as 客户 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='01' and (b.sjsl > 0 or b.sjlsje<>0) and isnull(a.hs_tag,0)=0  and a.hh ='0040' and isnull(a.hs_tag,0)=0  order by a.hh
expect
0040 | 中药饮片零货 | 

# taking a goods item: amount-only?
select fonlymoney from yw_kck where hh='0040'
expect
1

# taking a goods item: its facts in the out-warehouse
select a.zzsl,b.sjsl,a.pm,a.lsj from yw_kck a inner join ywbalance b on a.hh=b.hh where a.hh='0001' and b.stockid='01' and b.fperiod=0  and b.fyear=0
expect
13 | 230 | 阿莫西林胶囊 | 12.5

# taking a goods item: its facts, typed path
select a.zzsl,b.sjsl,a.lsj,a.pm from yw_kck a inner join ywbalance b on a.hh=b.hh where a.hh='0021' and b.stockid='05' and b.fperiod=0  and b.fyear=0
expect
9 | 26.5 | 180 | 当归

# taking a goods item: price and costing method
select cbj,isnull(jjff,'') as jaff from yw_kck where hh='0001'
expect
7.8 | 5

# goods panel: the configured columns
select fsql from glselect where fdh='仓库调拨单商品信息'
rows 0

# goods panel: the goods with its stock in both warehouses
select  a.pm as 品名,a.gg as 规格,a.cd as 产地,a.mjl as 包装,a.zbzl as 中包装,a.pdw as 单位,a.lsj as 零售价, isnull(b.sjsl,0) as 拨出库存数量,isnull(c.sjsl,0) as 拨入库存数量  from yw_kck a left join (select hh, sjsl from ywbalance where fperiod=0  and fyear=0 and hh='0001' and stockid='01') b on a.hh=b.hh left join (select hh, sjsl from ywbalance where fperiod=0  and fyear=0 and hh='0001' and stockid='02') c on a.hh=c.hh where a.hh = '0001'
rows 1

# goods panel: a goods without a balance in the in-warehouse shows 0
select  isnull(b.sjsl,0) as 拨出库存数量,isnull(c.sjsl,0) as 拨入库存数量  from yw_kck a left join (select hh, sjsl from ywbalance where fperiod=0  and fyear=0 and hh='0034' and stockid='01') b on a.hh=b.hh left join (select hh, sjsl from ywbalance where fperiod=0  and fyear=0 and hh='0034' and stockid='10') c on a.hh=c.hh where a.hh = '0034'
expect
200 | 0

# goods panel: the bill's totals
select sum(je) as je,sum(lsze) as lsze from ckdbdzkmx where lsh='DBD202403010001' group by lsh
expect
443.2 | 712.6

# goods panel: a bill without lines has no totals row
select sum(je) as je,sum(lsze) as lsze from ckdbdzkmx where lsh='DBD202403050099' group by lsh
rows 0

# units: the undeleted units are counted
Select A.LDW,B.FMeasureUnitID,B.FName From Yw_Kck A Left Join t_MeasureUnit B ON A.hh=b.hh Where a.HH='0004' and isnull(B.FDeleted,0)=0
rows 2

# units: a goods without unit rows still gives its one row
Select A.LDW,B.FMeasureUnitID,B.FName From Yw_Kck A Left Join t_MeasureUnit B ON A.hh=b.hh Where a.HH='0040' and isnull(B.FDeleted,0)=0
rows 1

# units: the unit list, default unit first, deleted units left out
SELECT FMeasureUnitID As 编码,FName As 名称,FCoefficient As 系数,isnull(a.Sj,0) as 售价,isnull(a.HYJ,0) AS 会员价 From t_MeasureUnit a  left join yw_kck b on a.hh=b.hh where b.hh='0004' and isnull(a.FDeleted,0)=0 Order By FDefault Desc,FMeasureUnitID
expect
01 | 瓶 | 1 | 6.5 | 6.2
02 | 件 | 100 | 650 | 620

# units: the price of the chosen unit
select cbj as dj from yw_kck where hh='0001'
expect
7.8
