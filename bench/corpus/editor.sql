# editor load: the batch list template
select fsql from glselect where fdh ='仓库调拨单批次选择'

# numbering: the number rule (the unused second rule row is left out)
select * from t_billnum where fid=75 and fused=1

# numbering: the operator's counter
select dblsh from sys_dh where id ='002'

# saving the first line: is there a header under the new serial?
select * from ckdbdzk where lsh='DBD202403050005'

# loading a bill: header and lines with both warehouse names
select *,c.name as dcckname,d.name as drckname,a.hh from ckdbdzkmx a inner join ckdbdzk b on a.lsh = b.lsh inner join gl_stock c on b.dcstockid=c.id left join gl_stock d on b.drstockid=d.id  where b.lsh='DBD202403010001'

# loading a bill: the configured grid columns
select fsql from glselect where fdh='仓库调拨单'

# loading a bill: a configured column list
select a.dh as 单号,a.hh as 货号,a.pm as 品名,a.sl as 数量,b.czry as 操作人员 from CKDBDZKmx a inner join CKDBDZK b on a.lsh=b.lsh where a.lsh='DBD202403010001' order by a.dh

# loading a bill: the default grid columns with prices
select dh as 单号,a.hh as 货号,case when c.hh is null then '[商品已删除]' + isnull(a.PM,'') else a.PM end as 品名,c.pdw as 单位,a.dj as 单价,a.sl as 数量,a.je as 金额,a.lsze as 零售总额,a.bz as 备注 from CKDBDZKmx a inner join CKDBDZK  b on a.lsh=b.lsh left join yw_kck c on a.hh=c.hh where a.lsh='DBD202403010001' order by a.dh

# loading a bill: the default grid columns when transfers carry no price
select dh as 单号,a.hh as 货号,case when c.hh is null then '[商品已删除]' + isnull(a.PM,'') else a.PM end as 品名,c.pdw as 单位,0 as 单价,a.sl as 数量,0 as 金额,a.lsze as 零售总额,a.bz as 备注 from CKDBDZKmx a inner join CKDBDZK  b on a.lsh=b.lsh left join yw_kck c on a.hh=c.hh where a.lsh='DBD202403020004' order by a.dh

# out-warehouse choice: the full list but the in-warehouse, within the operator's scope
select a.id as 仓库代码,a.name as 仓库名称 from gl_stock a where 1=1  and id <> '02'  and ID in ('01','02','03') Order by a.id

# out-warehouse choice: a typed id
select a.id as 仓库代码,a.name as 仓库名称 from gl_stock a where 1=1  and id ='01' and id<>'02'  Order by a.id

# out-warehouse choice: a typed code prefix
select a.id as 仓库代码,a.name as 仓库名称 from gl_stock a where 1=1  and id <>'02' and KM5 like '01%'  Order by a.id

# in-warehouse choice: the full list but the out-warehouse
select a.id as 仓库代码,a.name as 仓库名称 from gl_stock a where 1=1  and id<>'01'  Order by a.id

# in-warehouse choice: a typed id
select a.id as 仓库代码,a.name as 仓库名称 from gl_stock a where 1=1  and id ='02' and id<>'01'  Order by a.id

# in-warehouse choice: a typed code prefix
select a.id as 仓库代码,a.name as 仓库名称 from gl_stock a where 1=1   and id<>'01' and KM5 like '03%'  Order by a.id

# goods look-up: an exact goods number among the goods the out-warehouse holds
select a.hh as 货号,a.Pm_zjm as 品名助记码,a.lb as 类别,a.pm as 品名,a.bm as 别名,a.gg as 规格,a.cd as 产地,a.mjl as 包装,a.pdw as 单位,b.kh as 位置,b.sjsl as 库存数量,a.pfj as 批发价,a.lsj as 零售价,a.sj as 实价,a.zk as 折扣,a.cbj as 成本价,a.jj as 最后进价,a.fonlymoney as 金额品种,b.sjlsje as 实际零售金额 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='01' and (b.sjsl > 0 or b.sjlsje<>0) and isnull(a.hs_tag,0)=0  and a.hh ='0001' and isnull(a.hs_tag,0)=0   order by a.hh

# goods look-up: every goods of the out-warehouse with stock or a retail amount ("*" or F7)
select a.hh as 货号,a.Pm_zjm as 品名助记码,a.lb as 类别,a.pm as 品名,a.bm as 别名,a.gg as 规格,a.cd as 产地,a.mjl as 包装,a.pdw as 单位,b.kh as 位置,b.sjsl as 库存数量,a.pfj as 批发价,a.lsj as 零售价,a.sj as 实价,a.zk as 折扣,a.cbj as 成本价,a.jj as 最后进价,a.fonlymoney as 金额品种,b.sjlsje as 实际零售金额 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='01' and (b.sjsl > 0 or b.sjlsje<>0) and isnull(a.hs_tag,0)=0    order by a.hh

# goods look-up: without stock the zero-stock goods are found only with the box ticked
select a.hh as 货号,a.Pm_zjm as 品名助记码,a.lb as 类别,a.pm as 品名,a.bm as 别名,a.gg as 规格,a.cd as 产地,a.mjl as 包装,a.pdw as 单位,b.kh as 位置,b.sjsl as 库存数量,a.pfj as 批发价,a.lsj as 零售价,a.sj as 实价,a.zk as 折扣,a.cbj as 成本价,a.jj as 最后进价,a.fonlymoney as 金额品种,b.sjlsje as 实际零售金额 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='02' and (b.sjsl > 0 or b.sjlsje<>0) and isnull(a.hs_tag,0)=0  and a.hh like '%21%'  order by a.hh

# goods look-up: the same pattern with the zero-stock box ticked
select a.hh as 货号,a.Pm_zjm as 品名助记码,a.lb as 类别,a.pm as 品名,a.bm as 别名,a.gg as 规格,a.cd as 产地,a.mjl as 包装,a.pdw as 单位,b.kh as 位置,b.sjsl as 库存数量,a.pfj as 批发价,a.lsj as 零售价,a.sj as 实价,a.zk as 折扣,a.cbj as 成本价,a.jj as 最后进价,a.fonlymoney as 金额品种,b.sjlsje as 实际零售金额 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='02' and isnull(a.hs_tag,0)=0  and a.hh like '%21%'  order by a.hh

# goods look-up: a goods number ending in the typed text
select a.hh as 货号,a.pm as 品名,b.sjsl as 库存数量 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='01' and (b.sjsl > 0 or b.sjlsje<>0) and isnull(a.hs_tag,0)=0  and a.hh like '%01'  order by a.hh

# goods look-up: a goods number beginning with the typed text, within a goods scope
select a.hh as 货号,a.pm as 品名,b.sjsl as 库存数量 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='01' and (b.sjsl > 0 or b.sjlsje<>0) and isnull(a.hs_tag,0)=0  and a.hh like '000%'  and A.HH in ('0002','0003') order by a.hh

# goods look-up: a mnemonic code from its start; the quote of the typed text is doubled
select a.hh as 货号,a.pm as 品名,b.sjsl as 库存数量 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='01' and (b.sjsl > 0 or b.sjlsje<>0) and isnull(a.hs_tag,0)=0  and a.pm_zjm like 'amx''%'  order by a.hh

# goods look-up: a mnemonic code anywhere in the code, compared without regard to case
select a.hh as 货号,a.pm as 品名,b.sjsl as 库存数量 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='01' and (b.sjsl > 0 or b.sjlsje<>0) and isnull(a.hs_tag,0)=0  and a.pm_zjm like '%xlj%'  order by a.hh

# goods look-up: a template with the customer placeholder replaced by an empty literal
select a.hh as 货号,a.pm as 品名,'' as 客户 from yw_kck a left join ywbalance b on a.hh =b.hh where 1=1  and b.fperiod = 0 and b.fyear=0  and b.stockid ='01' and (b.sjsl > 0 or b.sjlsje<>0) and isnull(a.hs_tag,0)=0  and a.hh ='0040' and isnull(a.hs_tag,0)=0  order by a.hh

# taking a goods item: amount-only?
select fonlymoney from yw_kck where hh='0040'

# taking a goods item: its facts in the out-warehouse
select a.zzsl,b.sjsl,a.pm,a.lsj from yw_kck a inner join ywbalance b on a.hh=b.hh where a.hh='0001' and b.stockid='01' and b.fperiod=0  and b.fyear=0

# taking a goods item: its facts, typed path
select a.zzsl,b.sjsl,a.lsj,a.pm from yw_kck a inner join ywbalance b on a.hh=b.hh where a.hh='0021' and b.stockid='05' and b.fperiod=0  and b.fyear=0

# taking a goods item: price and costing method
select cbj,isnull(jjff,'') as jaff from yw_kck where hh='0001'

# goods panel: the configured columns
select fsql from glselect where fdh='仓库调拨单商品信息'

# goods panel: the goods with its stock in both warehouses
select  a.pm as 品名,a.gg as 规格,a.cd as 产地,a.mjl as 包装,a.zbzl as 中包装,a.pdw as 单位,a.lsj as 零售价, isnull(b.sjsl,0) as 拨出库存数量,isnull(c.sjsl,0) as 拨入库存数量  from yw_kck a left join (select hh, sjsl from ywbalance where fperiod=0  and fyear=0 and hh='0001' and stockid='01') b on a.hh=b.hh left join (select hh, sjsl from ywbalance where fperiod=0  and fyear=0 and hh='0001' and stockid='02') c on a.hh=c.hh where a.hh = '0001'

# goods panel: a goods without a balance in the in-warehouse shows 0
select  isnull(b.sjsl,0) as 拨出库存数量,isnull(c.sjsl,0) as 拨入库存数量  from yw_kck a left join (select hh, sjsl from ywbalance where fperiod=0  and fyear=0 and hh='0034' and stockid='01') b on a.hh=b.hh left join (select hh, sjsl from ywbalance where fperiod=0  and fyear=0 and hh='0034' and stockid='10') c on a.hh=c.hh where a.hh = '0034'

# goods panel: the bill's totals
select sum(je) as je,sum(lsze) as lsze from ckdbdzkmx where lsh='DBD202403010001' group by lsh

# goods panel: a bill without lines has no totals row
select sum(je) as je,sum(lsze) as lsze from ckdbdzkmx where lsh='DBD202403050099' group by lsh

# units: the price of the chosen unit
select cbj as dj from yw_kck where hh='0001'
