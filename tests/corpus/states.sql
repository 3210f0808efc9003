# Statements of the state changes that move stock, run in the order a handler runs them, with the
# rows each must change. The file walks four bills through their states:
#   DBD202403010001 (01 -> 02, three lines): one-step audit, then un-audit back to the start;
#   DBD202403010002 (01 -> 05, in-warehouse keeps goods places): one-step audit and un-audit;
#   DBD202403050005 (09 -> 10, out-warehouse keeps goods places, new bill): two-step audit,
#     confirm, un-confirm, un-audit;
#   DBD202403020004 (03 -> 02): one-step audit, then un-audit after the out-warehouse's batch and
#     balance rows were removed, so both are created again.
# then posts and submits bills. Block format: tests/core/tsql_StatementCorpusTest.cpp.

# audit: the batch sell-price switch, read before the transaction
Select IsNull(FValue,'') FValue From t_SystemProfile Where FKey='UpdateBatchSellPrice'
expect
0

# setup: the receiving batch row of 0014 already lists location A1, and the line carries B2
update phk set kh='A1' where hh='0014' and stockid='02' and ph='230515' and dh='200141'
affects 1

# setup: the line's location code
update ckdbdzkmx set kh='B2' where lsh='DBD202403010001' and dh='1003'
affects 1

# one-step audit: the header's flags, read before the question and again, under an update lock,
# as the first statement of the transaction
select isnull(PreShbz,0) PreShbz,isnull(Shbz,0) Shbz,isnull(Jzbz,0) Jzbz from ckdbdzk with (updlock, rowlock) where lsh='DBD202403010001'
expect
0 | 0 | 0

# one-step audit: the bill's lines still to audit
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403010001' and shbz=0
rows 3

# one-step audit, line 1001: money-only goods?
select fonlymoney from yw_kck where hh='0001'
expect
0

# one-step audit, line 1001: the out-warehouse batch stock and its sell price
select sl,isnull(sellprice,0) sellprice from phk where hh='0001' and stockid ='01' and ph='230208' and dh='200011'
expect
77 | 12.5

# one-step audit, line 1001: issue from the out-warehouse batch
update phk set bcsl=bcsl + 20,sl=sl - 20where hh='0001' and stockid ='01' and ph='230208' and dh='200011'
affects 1
expect select sl, bcsl, brsl from phk where hh='0001' and stockid='01' and ph='230208' and dh='200011'
57 | 20 | 0

# one-step audit, line 1001: the in-warehouse batch row
 select * from phk where hh='0001' and stockid ='02' and ph='230208' and dh='200011'
rows 1

# one-step audit, line 1001: receipt into the in-warehouse batch, its empty list replaced, sell price copied
update phk set SellPrice=12.5,brsl=isnull(brsl,0) + 20,sl=isnull(sl,0)+20,kh='' where hh='0001' and stockid ='02' and ph='230208' and dh='200011'
affects 1
expect select sl, brsl, bcsl, kh, SellPrice from phk where hh='0001' and stockid='02' and ph='230208' and dh='200011'
37 | 20 | 0 |  | 12.5

# one-step audit, line 1001: the out-warehouse balance of the current period only
update ywbalance set bcsl=isnull(bcsl,0) + 20,sjsl=isnull(sjsl,0) - 20,sjje = isnull(sjje,0) - (152.8),sjlsje=isnull(sjlsje,0) - (250) where hh='0001' and stockid='01' and fperiod=0
affects 1
expect select fperiod, sjsl, sjje, sjlsje, bcsl from ywbalance where hh='0001' and stockid='01' order by fperiod
0 | 210 | 1653.36 | 2625 | 20
2 | 240 | 1806.16 | 2875 | 0

# one-step audit, line 1001: the in-warehouse balance row
 select * from ywbalance where hh='0001' and stockid='02' and fperiod=0
rows 1

# one-step audit, line 1001: receipt into the in-warehouse balance
update ywbalance set bRsl=isnull(bRsl,0) + 20,sjsl=isnull(sjsl,0)+20,sjje = isnull(sjje,0) + (152.8),sjlsje=isnull(sjlsje,0) + (250) where hh='0001' and stockid='02' and fperiod=0
affects 1
expect select sjsl, sjje, sjlsje, brsl from ywbalance where hh='0001' and stockid='02' and fperiod=0
37 | 282.68 | 462.5 | 20

# one-step audit, line 1001: does the out-warehouse keep goods places?
Select FDeleted From GL_Stock Where ID='01'
expect
0

# one-step audit, line 1001: does the in-warehouse keep goods places?
Select FDeleted From GL_Stock Where ID='02'
expect
0

# one-step audit, line 1002: the out-warehouse batch stock
select sl,isnull(sellprice,0) sellprice from phk where hh='0003' and stockid ='01' and ph='240207' and dh='200032'
expect
239 | 24.8

# one-step audit, line 1002: issue from the out-warehouse batch
update phk set bcsl=bcsl + 12,sl=sl - 12where hh='0003' and stockid ='01' and ph='240207' and dh='200032'
affects 1
expect select sl, bcsl from phk where hh='0003' and stockid='01' and ph='240207' and dh='200032'
227 | 32

# one-step audit, line 1002: the in-warehouse has no row of this batch
 select * from phk where hh='0003' and stockid ='02' and ph='240207' and dh='200032'
rows 0

# one-step audit, line 1002: the batch row is created from the out-warehouse's row with the further columns (the transfer-out count is not one of them: a new row starts its counters at 0)
Insert Into PHK (HH,PH,DH,StockID,SL,xq,jhdj,scrq,yhrq,dwbh,dwmc,brsl,kh,LastPurchasePrice,qckc,jhsl,xhsl,qtsrsl,qtfcsl,thsl,SellPrice)Select HH,PH,DH,'02',12,xq,jhdj,scrq,yhrq,dwbh,dwmc,12,'',LastPurchasePrice,0,0,0,0,0,0,SellPrice From PHK Where HH = '0003' And ph = '240207' And DH = '200032' And stockid ='01'
affects 1
expect select StockID, SL, brsl, bcsl, kh, xq, jhdj, scrq, yhrq, dwbh, LastPurchasePrice, jhsl, SellPrice from phk where hh='0003' and ph='240207' and dh='200032' and stockid in ('01','02') order by StockID
01 | 227 | 0 | 32 |  | 2026-02-07 | 15.5 | 2024-02-07 | 2024-02-28 | SY004 | 15.5 | 259 | 24.8
02 | 12 | 12 | 0 |  | 2026-02-07 | 15.5 | 2024-02-07 | 2024-02-28 | SY004 | 15.5 | 0 | 24.8

# one-step audit, line 1002: the out-warehouse balance
update ywbalance set bcsl=isnull(bcsl,0) + 12,sjsl=isnull(sjsl,0) - 12,sjje = isnull(sjje,0) - (182.4),sjlsje=isnull(sjlsje,0) - (297.6) where hh='0003' and stockid='01' and fperiod=0
affects 1
expect select sjsl, sjje, sjlsje, bcsl from ywbalance where hh='0003' and stockid='01' and fperiod=0
378 | 5772 | 9374.4 | 32

# one-step audit, line 1002: the in-warehouse balance
update ywbalance set bRsl=isnull(bRsl,0) + 12,sjsl=isnull(sjsl,0)+12,sjje = isnull(sjje,0) + (182.4),sjlsje=isnull(sjlsje,0) + (297.6) where hh='0003' and stockid='02' and fperiod=0
affects 1
expect select sjsl, sjje, sjlsje, brsl from ywbalance where hh='0003' and stockid='02' and fperiod=0
43 | 644.3 | 1066.4 | 12

# one-step audit, line 1003: issue from the out-warehouse batch
update phk set bcsl=bcsl + 10,sl=sl - 10where hh='0014' and stockid ='01' and ph='230515' and dh='200141'
affects 1
expect select sl, bcsl from phk where hh='0014' and stockid='01' and ph='230515' and dh='200141'
58 | 20

# one-step audit, line 1003: a batch row holding stock and a list gets the line's code appended
update phk set brsl=isnull(brsl,0) + 10,sl=isnull(sl,0)+10,kh=kh + ',B2' where hh='0014' and stockid ='02' and ph='230515' and dh='200141'
affects 1
expect select sl, brsl, kh from phk where hh='0014' and stockid='02' and ph='230515' and dh='200141'
43 | 10 | A1,B2

# one-step audit, line 1003: the out-warehouse balance
update ywbalance set bcsl=isnull(bcsl,0) + 10,sjsl=isnull(sjsl,0) - 10,sjje = isnull(sjje,0) - (108),sjlsje=isnull(sjlsje,0) - (165) where hh='0014' and stockid='01' and fperiod=0
affects 1
expect select sjsl, sjje, sjlsje, bcsl from ywbalance where hh='0014' and stockid='01' and fperiod=0
300 | 3278.28 | 4950 | 20

# one-step audit, line 1003: the in-warehouse balance
update ywbalance set bRsl=isnull(bRsl,0) + 10,sjsl=isnull(sjsl,0)+10,sjje = isnull(sjje,0) + (108),sjlsje=isnull(sjlsje,0) + (165) where hh='0014' and stockid='02' and fperiod=0
affects 1
expect select sjsl, sjje, sjlsje, brsl from ywbalance where hh='0014' and stockid='02' and fperiod=0
43 | 457.14 | 709.5 | 10

# one-step audit: the header is audited
Update ckdbdzk Set Shry='系统管理员',Shbz=1 where lsh='DBD202403010001'
affects 1
expect select shbz, shry, PreShbz from ckdbdzk where lsh='DBD202403010001'
1 | 系统管理员 | NULL

# one-step audit: a second audit selects no line
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403010001' and shbz=0
rows 0

# one-step un-audit: the audited, unposted bill's lines
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403010001' and IsNull(Shbz,0)=1 and IsNull(Jzbz,0)=0
rows 3

# one-step un-audit, line 1001: the in-warehouse batch stock and its list
select sl,kh from phk where hh='0001' and stockid ='02' and ph='230208' and dh='200011'
expect
37 | 

# one-step un-audit, line 1001: the in-warehouse batch gives the goods back
update phk set brsl=brsl - 20,sl=sl - 20,kh='' where hh='0001' and stockid ='02' and ph='230208' and dh='200011'
affects 1
expect select sl, brsl, kh from phk where hh='0001' and stockid='02' and ph='230208' and dh='200011'
17 | 0 | 

# one-step un-audit, line 1001: the out-warehouse batch row
 select * from phk where hh='0001' and stockid ='01' and ph='230208' and dh='200011'
rows 1

# one-step un-audit, line 1001: the out-warehouse batch gets the goods back
update phk set bcsl=isnull(bcsl,0) - 20,sl=isnull(sl,0)+20where hh='0001' and stockid ='01' and ph='230208' and dh='200011'
affects 1
expect select sl, bcsl from phk where hh='0001' and stockid='01' and ph='230208' and dh='200011'
77 | 0

# one-step un-audit, line 1001: the in-warehouse balance
update ywbalance set brsl=isnull(brsl,0) - 20,sjsl=isnull(sjsl,0) - 20,sjje = isnull(sjje,0) - (152.8),sjlsje=isnull(sjlsje,0) - (250) where hh='0001' and stockid='02' and fperiod=0
affects 1
expect select sjsl, sjje, sjlsje, brsl from ywbalance where hh='0001' and stockid='02' and fperiod=0
17 | 129.88 | 212.5 | 0

# one-step un-audit, line 1001: the out-warehouse balance row (any year)
 select * from ywbalance where hh='0001' and stockid='01' and fperiod=0
rows 1

# one-step un-audit, line 1001: the out-warehouse balance
update ywbalance set bcsl=isnull(bcsl,0) - 20,sjsl=isnull(sjsl,0)+20,sjje = isnull(sjje,0) + (152.8),sjlsje=isnull(sjlsje,0) + (250) where hh='0001' and stockid='01' and fperiod=0
affects 1
expect select sjsl, sjje, sjlsje, bcsl from ywbalance where hh='0001' and stockid='01' and fperiod=0
230 | 1806.16 | 2875 | 0

# one-step un-audit, line 1002: the created batch row drops to 0 and stays
update phk set brsl=brsl - 12,sl=sl - 12,kh='' where hh='0003' and stockid ='02' and ph='240207' and dh='200032'
affects 1
expect select sl, brsl from phk where hh='0003' and stockid='02' and ph='240207' and dh='200032'
0 | 0

# one-step un-audit, line 1002: the out-warehouse batch
update phk set bcsl=isnull(bcsl,0) - 12,sl=isnull(sl,0)+12where hh='0003' and stockid ='01' and ph='240207' and dh='200032'
affects 1
expect select sl, bcsl from phk where hh='0003' and stockid='01' and ph='240207' and dh='200032'
239 | 20

# one-step un-audit, line 1002: the in-warehouse balance
update ywbalance set brsl=isnull(brsl,0) - 12,sjsl=isnull(sjsl,0) - 12,sjje = isnull(sjje,0) - (182.4),sjlsje=isnull(sjlsje,0) - (297.6) where hh='0003' and stockid='02' and fperiod=0
affects 1

# one-step un-audit, line 1002: the out-warehouse balance
update ywbalance set bcsl=isnull(bcsl,0) - 12,sjsl=isnull(sjsl,0)+12,sjje = isnull(sjje,0) + (182.4),sjlsje=isnull(sjlsje,0) + (297.6) where hh='0003' and stockid='01' and fperiod=0
affects 1

# one-step un-audit, line 1003: the in-warehouse batch's list loses the line's code
select sl,kh from phk where hh='0014' and stockid ='02' and ph='230515' and dh='200141'
expect
43 | A1,B2

# one-step un-audit, line 1003: the in-warehouse batch gives back, its list without B2
update phk set brsl=brsl - 10,sl=sl - 10,kh='A1' where hh='0014' and stockid ='02' and ph='230515' and dh='200141'
affects 1

# one-step un-audit, line 1003: the out-warehouse batch
update phk set bcsl=isnull(bcsl,0) - 10,sl=isnull(sl,0)+10where hh='0014' and stockid ='01' and ph='230515' and dh='200141'
affects 1

# one-step un-audit, line 1003: the in-warehouse balance
update ywbalance set brsl=isnull(brsl,0) - 10,sjsl=isnull(sjsl,0) - 10,sjje = isnull(sjje,0) - (108),sjlsje=isnull(sjlsje,0) - (165) where hh='0014' and stockid='02' and fperiod=0
affects 1

# one-step un-audit, line 1003: the out-warehouse balance
update ywbalance set bcsl=isnull(bcsl,0) - 10,sjsl=isnull(sjsl,0)+10,sjje = isnull(sjje,0) + (108),sjlsje=isnull(sjlsje,0) + (165) where hh='0014' and stockid='01' and fperiod=0
affects 1

# one-step un-audit: the header is open again; every stock row of the bill is back where it started
Update ckdbdzk Set Shry=null,Shbz=0 where lsh='DBD202403010001'
affects 1
expect select shbz, shry from ckdbdzk where lsh='DBD202403010001'
0 | NULL
expect select hh, StockID, PH, SL, brsl, bcsl, kh from phk where hh in ('0001','0003','0014') and stockid in ('01','02') order by hh, StockID, DH
0001 | 01 | 230208 | 77  | 0 | 0  | 
0001 | 01 | 240212 | 153 | 0 | 0  | 
0001 | 02 | 230208 | 17  | 0 | 0  | 
0003 | 01 | 230422 | 151 | 0 | 0  | 
0003 | 01 | 240207 | 239 | 0 | 20 | 
0003 | 02 | 230422 | 31  | 0 | 0  | 
0003 | 02 | 240207 | 0   | 0 | 0  | 
0014 | 01 | 230515 | 68  | 0 | 10 | 
0014 | 01 | 240120 | 242 | 0 | 0  | 
0014 | 02 | 230515 | 33  | 0 | 0  | A1
expect select hh, stockid, sjsl, sjje, sjlsje, brsl, bcsl from ywbalance where hh in ('0001','0003','0014') and stockid in ('01','02') and fperiod=0 order by hh, stockid
0001 | 01 | 230 | 1806.16 | 2875   | 0  | 0
0001 | 02 | 17  | 129.88  | 212.5  | 0  | 0
0003 | 01 | 390 | 5954.4  | 9672   | 0  | 20
0003 | 02 | 31  | 461.9   | 768.8  | 0  | 0
0014 | 01 | 310 | 3386.28 | 5115   | 0  | 10
0014 | 02 | 33  | 349.14  | 544.5  | 0  | 0

# one-step audit into goods places: the bill's lines
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403010002' and shbz=0
rows 2

# one-step audit into goods places, line 1001: issue from the out-warehouse batch
update phk set bcsl=bcsl + 5.5,sl=sl - 5.5where hh='0021' and stockid ='01' and ph='240216' and dh='200212'
affects 1
expect select sl, bcsl from phk where hh='0021' and stockid='01' and ph='240216' and dh='200212'
14.75 | 5.5

# one-step audit into goods places, line 1001: receipt into the in-warehouse batch
update phk set brsl=isnull(brsl,0) + 5.5,sl=isnull(sl,0)+5.5,kh='' where hh='0021' and stockid ='05' and ph='240216' and dh='200212'
affects 1
expect select sl, brsl from phk where hh='0021' and stockid='05' and ph='240216' and dh='200212'
21.25 | 5.5

# one-step audit into goods places, line 1001: the out-warehouse balance
update ywbalance set bcsl=isnull(bcsl,0) + 5.5,sjsl=isnull(sjsl,0) - 5.5,sjje = isnull(sjje,0) - (661.98),sjlsje=isnull(sjlsje,0) - (990) where hh='0021' and stockid='01' and fperiod=0
affects 1
expect select sjsl, sjje, sjlsje from ywbalance where hh='0021' and stockid='01' and fperiod=0
28.25 | 3336.45 | 5085

# one-step audit into goods places, line 1001: the in-warehouse balance
update ywbalance set bRsl=isnull(bRsl,0) + 5.5,sjsl=isnull(sjsl,0)+5.5,sjje = isnull(sjje,0) + (661.98),sjlsje=isnull(sjlsje,0) + (990) where hh='0021' and stockid='05' and fperiod=0
affects 1
expect select sjsl, sjje, sjlsje from ywbalance where hh='0021' and stockid='05' and fperiod=0
32 | 3800.78 | 5760

# one-step audit into goods places, line 1001: the in-warehouse keeps goods places
Select FDeleted From GL_Stock Where ID='05'
expect
1

# one-step audit into goods places, line 1001: the place the batch never lay in is created
Insert Into GoodsPlaceBalance(GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid,MaterielGuid,BatchNo,BatchNumber,CurrQuantity,PInQuantity,POutQuantity,Notes)Select B.GoodsPlaceGuid,B.GoodsPlaceNo,B.WarehouseGuid,B.MaterielGuid,B.BatchNo,B.BatchNumber,0,0,0,'调拨入' From GoodsPlaceBalance A Right Join BillGoodsPlace B On A.GoodsPlaceGuid=B.GoodsPlaceGuid And A.GoodsPlaceNo=B.GoodsPlaceNo  And A.WarehouseGuid = B.WarehouseGuid And A.MaterielGuid = B.MaterielGuid And A.BatchNo=B.BatchNo And A.BatchNumber=B.BatchNumber  Where B.BillType='WarehouseIn' And B.BillGuid='DBD202403010002' And B.BillDetailGuid='1001' And A.GoodsPlaceGuid Is Null
affects 1
expect select GoodsPlaceGuid, GoodsPlaceNo, CurrQuantity, Notes from GoodsPlaceBalance where WarehouseGuid='05' and MaterielGuid='0021' and BatchNumber='200212' order by GoodsPlaceGuid
P05Y01 | Y01 | 0    | 调拨入
P05Y02 | Y02 | 9.25 | 期初
P05Y03 | Y03 | 6.5  | 期初

# one-step audit into goods places, line 1001: the places receive the line's split
Update A Set A.CurrQuantity = IsNull(A.CurrQuantity,0) + B.Quantity From GoodsPlaceBalance A Inner Join BillGoodsPlace B On A.GoodsPlaceGuid=B.GoodsPlaceGuid And A.GoodsPlaceNo=B.GoodsPlaceNo  And A.WarehouseGuid = B.WarehouseGuid And A.MaterielGuid = B.MaterielGuid And A.BatchNo=B.BatchNo And A.BatchNumber=B.BatchNumber  Where B.BillType='WarehouseIn' And B.BillGuid='DBD202403010002' And B.BillDetailGuid='1001'
affects 2
expect select GoodsPlaceGuid, CurrQuantity from GoodsPlaceBalance where WarehouseGuid='05' and MaterielGuid='0021' and BatchNumber='200212' order by GoodsPlaceGuid
P05Y01 | 3.5
P05Y02 | 11.25
P05Y03 | 6.5

# one-step audit into goods places, line 1002: issue, receipt and balances
update phk set bcsl=bcsl + 4,sl=sl - 4where hh='0022' and stockid ='01' and ph='230315' and dh='200221'
affects 1

# one-step audit into goods places, line 1002: receipt into the in-warehouse batch
update phk set brsl=isnull(brsl,0) + 4,sl=isnull(sl,0)+4,kh='' where hh='0022' and stockid ='05' and ph='230315' and dh='200221'
affects 1

# one-step audit into goods places, line 1002: the out-warehouse balance
update ywbalance set bcsl=isnull(bcsl,0) + 4,sjsl=isnull(sjsl,0) - 4,sjje = isnull(sjje,0) - (297.92),sjlsje=isnull(sjlsje,0) - (480) where hh='0022' and stockid='01' and fperiod=0
affects 1

# one-step audit into goods places, line 1002: the in-warehouse balance
update ywbalance set bRsl=isnull(bRsl,0) + 4,sjsl=isnull(sjsl,0)+4,sjje = isnull(sjje,0) + (297.92),sjlsje=isnull(sjlsje,0) + (480) where hh='0022' and stockid='05' and fperiod=0
affects 1

# one-step audit into goods places, line 1002: no place is missing
Insert Into GoodsPlaceBalance(GoodsPlaceGuid,GoodsPlaceNo,WarehouseGuid,MaterielGuid,BatchNo,BatchNumber,CurrQuantity,PInQuantity,POutQuantity,Notes)Select B.GoodsPlaceGuid,B.GoodsPlaceNo,B.WarehouseGuid,B.MaterielGuid,B.BatchNo,B.BatchNumber,0,0,0,'调拨入' From GoodsPlaceBalance A Right Join BillGoodsPlace B On A.GoodsPlaceGuid=B.GoodsPlaceGuid And A.GoodsPlaceNo=B.GoodsPlaceNo  And A.WarehouseGuid = B.WarehouseGuid And A.MaterielGuid = B.MaterielGuid And A.BatchNo=B.BatchNo And A.BatchNumber=B.BatchNumber  Where B.BillType='WarehouseIn' And B.BillGuid='DBD202403010002' And B.BillDetailGuid='1002' And A.GoodsPlaceGuid Is Null
affects 0

# one-step audit into goods places, line 1002: the place receives the line
Update A Set A.CurrQuantity = IsNull(A.CurrQuantity,0) + B.Quantity From GoodsPlaceBalance A Inner Join BillGoodsPlace B On A.GoodsPlaceGuid=B.GoodsPlaceGuid And A.GoodsPlaceNo=B.GoodsPlaceNo  And A.WarehouseGuid = B.WarehouseGuid And A.MaterielGuid = B.MaterielGuid And A.BatchNo=B.BatchNo And A.BatchNumber=B.BatchNumber  Where B.BillType='WarehouseIn' And B.BillGuid='DBD202403010002' And B.BillDetailGuid='1002'
affects 1
expect select GoodsPlaceGuid, CurrQuantity from GoodsPlaceBalance where WarehouseGuid='05' and MaterielGuid='0022' and BatchNumber='200221' order by GoodsPlaceGuid
P05Y01 | 5.25
P05Y03 | 11.75

# one-step audit into goods places: the header
Update ckdbdzk Set Shry='张三',Shbz=1 where lsh='DBD202403010002'
affects 1

# one-step un-audit out of goods places: the bill's lines
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403010002' and IsNull(Shbz,0)=1 and IsNull(Jzbz,0)=0
rows 2

# one-step un-audit out of goods places, line 1001: the in-warehouse batch stock
select sl,kh from phk where hh='0021' and stockid ='05' and ph='240216' and dh='200212'
expect
21.25 | 

# one-step un-audit out of goods places, line 1001: the in-warehouse batch gives back
update phk set brsl=brsl - 5.5,sl=sl - 5.5,kh='' where hh='0021' and stockid ='05' and ph='240216' and dh='200212'
affects 1

# one-step un-audit out of goods places, line 1001: the out-warehouse batch
update phk set bcsl=isnull(bcsl,0) - 5.5,sl=isnull(sl,0)+5.5where hh='0021' and stockid ='01' and ph='240216' and dh='200212'
affects 1

# one-step un-audit out of goods places, line 1001: the in-warehouse balance
update ywbalance set brsl=isnull(brsl,0) - 5.5,sjsl=isnull(sjsl,0) - 5.5,sjje = isnull(sjje,0) - (661.98),sjlsje=isnull(sjlsje,0) - (990) where hh='0021' and stockid='05' and fperiod=0
affects 1

# one-step un-audit out of goods places, line 1001: the out-warehouse balance
update ywbalance set bcsl=isnull(bcsl,0) - 5.5,sjsl=isnull(sjsl,0)+5.5,sjje = isnull(sjje,0) + (661.98),sjlsje=isnull(sjlsje,0) + (990) where hh='0021' and stockid='01' and fperiod=0
affects 1

# one-step un-audit out of goods places, line 1001: the places give the line's split back; the split itself stays
Update A Set A.CurrQuantity = IsNull(A.CurrQuantity,0) - IsNull(B.Quantity,0) From GoodsPlaceBalance A Inner Join BillGoodsPlace B On A.GoodsPlaceGuid=B.GoodsPlaceGuid And A.GoodsPlaceNo=B.GoodsPlaceNo And A.WarehouseGuid = B.WarehouseGuid And A.MaterielGuid = B.MaterielGuid And A.BatchNo=B.BatchNo And A.BatchNumber=B.BatchNumber  Where B.BillType='WarehouseIn' And B.BillGuid='DBD202403010002' And B.BillDetailGuid='1001'
affects 2
expect select GoodsPlaceGuid, CurrQuantity from GoodsPlaceBalance where WarehouseGuid='05' and MaterielGuid='0021' and BatchNumber='200212' order by GoodsPlaceGuid
P05Y01 | 0
P05Y02 | 9.25
P05Y03 | 6.5
expect select count(*) from BillGoodsPlace where BillGuid='DBD202403010002'
3

# one-step un-audit out of goods places, line 1002: in-warehouse batch, out-warehouse batch
update phk set brsl=brsl - 4,sl=sl - 4,kh='' where hh='0022' and stockid ='05' and ph='230315' and dh='200221'
affects 1

# one-step un-audit out of goods places, line 1002: the out-warehouse batch
update phk set bcsl=isnull(bcsl,0) - 4,sl=isnull(sl,0)+4where hh='0022' and stockid ='01' and ph='230315' and dh='200221'
affects 1

# one-step un-audit out of goods places, line 1002: the in-warehouse balance
update ywbalance set brsl=isnull(brsl,0) - 4,sjsl=isnull(sjsl,0) - 4,sjje = isnull(sjje,0) - (297.92),sjlsje=isnull(sjlsje,0) - (480) where hh='0022' and stockid='05' and fperiod=0
affects 1

# one-step un-audit out of goods places, line 1002: the out-warehouse balance
update ywbalance set bcsl=isnull(bcsl,0) - 4,sjsl=isnull(sjsl,0)+4,sjje = isnull(sjje,0) + (297.92),sjlsje=isnull(sjlsje,0) + (480) where hh='0022' and stockid='01' and fperiod=0
affects 1

# one-step un-audit out of goods places, line 1002: the place gives back
Update A Set A.CurrQuantity = IsNull(A.CurrQuantity,0) - IsNull(B.Quantity,0) From GoodsPlaceBalance A Inner Join BillGoodsPlace B On A.GoodsPlaceGuid=B.GoodsPlaceGuid And A.GoodsPlaceNo=B.GoodsPlaceNo And A.WarehouseGuid = B.WarehouseGuid And A.MaterielGuid = B.MaterielGuid And A.BatchNo=B.BatchNo And A.BatchNumber=B.BatchNumber  Where B.BillType='WarehouseIn' And B.BillGuid='DBD202403010002' And B.BillDetailGuid='1002'
affects 1

# one-step un-audit out of goods places: the header; the stock is back where it started
Update ckdbdzk Set Shry=null,Shbz=0 where lsh='DBD202403010002'
affects 1
expect select hh, StockID, SL, brsl, bcsl from phk where hh in ('0021','0022') and stockid in ('01','05') order by hh, StockID, DH
0021 | 01 | 13.5  | 0 | 0
0021 | 01 | 20.25 | 0 | 0
0021 | 05 | 10.75 | 0 | 0
0021 | 05 | 15.75 | 0 | 0
0022 | 01 | 14.5  | 0 | 0
0022 | 01 | 25.25 | 0 | 0
0022 | 05 | 13    | 0 | 0
0022 | 05 | 15.75 | 0 | 0
expect select hh, stockid, sjsl, sjje, sjlsje from ywbalance where hh in ('0021','0022') and stockid in ('01','05') and fperiod=0 order by hh, stockid
0021 | 01 | 33.75 | 3998.43 | 6075
0021 | 05 | 26.5  | 3138.8  | 4770
0022 | 01 | 39.75 | 3037.34 | 4770
0022 | 05 | 28.75 | 2189.18 | 3450
expect select GoodsPlaceGuid, CurrQuantity from GoodsPlaceBalance where WarehouseGuid='05' and MaterielGuid='0022' and BatchNumber='200221' order by GoodsPlaceGuid
P05Y01 | 5.25
P05Y03 | 7.75

# setup: a new bill from 09 (goods places) to 10 (no stock yet), header as a line save writes it
insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,bz,czry,shbz,shry,jzbz) values ('DBD202403050005','2024-03-05','09','10','配送中心调剂','系统管理员',0,'',0)
affects 1

# setup: its line, with batch
insert into ckdbdzkmx (lsh,dh,hh,pm,ph,pcdh,dj,sl,je,lsj,lsze,wslsze,cj,dw,srsl,kh,bz,dcstockid,drstockid) values('DBD202403050005','1001','0001','阿莫西林胶囊','240212','200012',7.96,20,159.2,12.5,250,221.24,70.1,'盒',20,'','配送中心调剂','09','10')
affects 1

# two-step audit: the lines not yet audited
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and IsNull(PreShbz,0)=0
rows 1

# two-step audit, line 1001: the out-warehouse batch stock
select sl from phk where hh='0001' and stockid ='09' and ph='240212' and dh='200012'
expect
26

# two-step audit, line 1001: issue from the out-warehouse batch
update phk set bcsl=bcsl + 20,sl=sl - 20where hh='0001' and stockid ='09' and ph='240212' and dh='200012'
affects 1
expect select sl, bcsl from phk where hh='0001' and stockid='09' and ph='240212' and dh='200012'
6 | 20

# two-step audit, line 1001: the out-warehouse balance
update ywbalance set bcsl=isnull(bcsl,0) + 20,sjsl=isnull(sjsl,0) - 20,sjje = isnull(sjje,0) - (159.2),sjlsje=isnull(sjlsje,0) - (250) where hh='0001' and stockid='09' and fperiod=0
affects 1
expect select sjsl, sjje, sjlsje, bcsl from ywbalance where hh='0001' and stockid='09' and fperiod=0
6 | 47.76 | 75 | 20

# two-step audit, line 1001: the out-warehouse keeps goods places
Select FDeleted From GL_Stock Where ID='09'
expect
1

# two-step audit, line 1001: its places, largest first; the first gives all it has (15.5), the second the rest (4.5 of 10.5)
Select * From GoodsPlaceBalance Where MaterielGuid='0001' And WarehouseGuid='09' And BatchNo='240212' And BatchNumber='200012' Order By CurrQuantity Desc 
rows 2
edit 1 CurrQuantity 0
edit 2 CurrQuantity 6
expect select GoodsPlaceGuid, CurrQuantity from GoodsPlaceBalance where MaterielGuid='0001' and WarehouseGuid='09' order by GoodsPlaceGuid
P09B01 | 0
P09B02 | 6

# two-step audit, line 1001: the first place's share
Insert Into BillGoodsPlace(BillType,BillGuid,BillDetailGuid,MaterielGuid,WarehouseGuid,BatchNo,BatchNumber,GoodsPlaceGuid,GoodsPlaceNo,Quantity,Notes)Values ('WarehouseOut','DBD202403050005','1001','0001','09','240212','200012','P09B01','B01','15.5','调拨出')
affects 1

# two-step audit, line 1001: the second place's share
Insert Into BillGoodsPlace(BillType,BillGuid,BillDetailGuid,MaterielGuid,WarehouseGuid,BatchNo,BatchNumber,GoodsPlaceGuid,GoodsPlaceNo,Quantity,Notes)Values ('WarehouseOut','DBD202403050005','1001','0001','09','240212','200012','P09B02','B02','4.5','调拨出')
affects 1
expect select BillType, GoodsPlaceGuid, Quantity, Notes from BillGoodsPlace where BillGuid='DBD202403050005' order by GoodsPlaceGuid
WarehouseOut | P09B01 | 15.5 | 调拨出
WarehouseOut | P09B02 | 4.5  | 调拨出

# two-step audit: the header is audited, not confirmed
Update ckdbdzk Set PreShry='系统管理员',PreShbz=1 where lsh='DBD202403050005'
affects 1
expect select PreShbz, PreShry, shbz from ckdbdzk where lsh='DBD202403050005'
1 | 系统管理员 | 0

# confirm: the bill must be audited
Select IsNull(PreSHBZ,0) PreSHBZ From CKDBDZK Where LSH='DBD202403050005'
expect
1

# confirm: the lines not yet confirmed
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and shbz=0
rows 1

# confirm, line 1001: the in-warehouse has no row of the batch
 select * from phk where hh='0001' and stockid ='10' and ph='240212' and dh='200012'
rows 0

# confirm, line 1001: the batch row is created from the out-warehouse's row
Insert Into PHK (HH,PH,DH,StockID,SL,xq,jhdj,scrq,yhrq,dwbh,dwmc,brsl,kh,LastPurchasePrice,qckc,jhsl,xhsl,qtsrsl,qtfcsl,thsl)Select HH,PH,DH,'10',20,xq,jhdj,scrq,yhrq,dwbh,dwmc,20,'',LastPurchasePrice,0,0,0,0,0,0 From PHK Where HH = '0001' And ph = '240212' And DH = '200012' And stockid ='09'
affects 1
expect select SL, brsl, bcsl, kh, xq, jhdj, dwmc, jhsl from phk where hh='0001' and stockid='10'
20 | 20 | 0 |  | 2026-02-12 | 7.96 | 华润医药商业集团有限公司 | 0

# confirm, line 1001: the in-warehouse has no balance row
 select * from ywbalance where hh='0001' and stockid='10' and fperiod=0
rows 0

# confirm, line 1001: the balance row is created with prices from the goods master (its amounts are not set, so the cost of the goods received is missing from the receiving warehouse)
Insert Into YwBalance (HH,STOCKID,FPERIOD,JJ,JJ_CKJ,PFJ,LSJ,SJ,CBJ,YCBJ,QCKC,JHSL,XHSL,QTSRSL,QTFCSL,SJSL,brsl)SELECT HH,'10',0,JJ,JJ_CKJ,PFJ,LSJ,SJ,CBJ,YCBJ,0,0,0,0,0,20,20 FROM YW_KCK WHERE HH='0001'
affects 1
expect select sjsl, brsl, fyear, CBJ, LSJ, sjje, sjlsje from ywbalance where hh='0001' and stockid='10'
20 | 20 | 0 | 7.8 | 12.5 | 0 | 0

# confirm, line 1001: the in-warehouse keeps no goods places
Select FDeleted From GL_Stock Where ID='10'
expect
0

# confirm: the header is confirmed
Update ckdbdzk Set Shry='系统管理员',Shbz=1 where lsh='DBD202403050005'
affects 1

# two-step un-audit: refused while the bill is confirmed
Select IsNull(SHBZ,0) SHBZ From CKDBDZK Where LSH='DBD202403050005'
expect
1

# un-confirm: the confirmed, unposted lines
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and shbz=1 and IsNull(Jzbz,0)=0
rows 1

# un-confirm, line 1001: the in-warehouse batch stock
select sl,kh from phk where hh='0001' and stockid ='10' and ph='240212' and dh='200012'
expect
20 | 

# un-confirm, line 1001: the in-warehouse batch gives back
update phk set brsl=brsl - 20,sl=sl - 20,kh='' where hh='0001' and stockid ='10' and ph='240212' and dh='200012'
affects 1
expect select sl, brsl from phk where hh='0001' and stockid='10'
0 | 0

# un-confirm, line 1001: the in-warehouse balance (its amounts go below zero, as they were never set)
update ywbalance set brsl=isnull(brsl,0) - 20,sjsl=isnull(sjsl,0) - 20,sjje = isnull(sjje,0) - (159.2),sjlsje=isnull(sjlsje,0) - (250) where hh='0001' and stockid='10' and fperiod=0
affects 1
expect select sjsl, brsl, sjje, sjlsje from ywbalance where hh='0001' and stockid='10'
0 | 0 | -159.2 | -250

# un-confirm: the header
Update ckdbdzk Set Shry=null,Shbz=0 where lsh='DBD202403050005'
affects 1

# two-step un-audit: allowed once the bill is unconfirmed
Select IsNull(SHBZ,0) SHBZ From CKDBDZK Where LSH='DBD202403050005'
expect
0

# two-step un-audit: the audited, unposted lines
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and IsNull(PreShbz,0)=1 and IsNull(Jzbz,0)=0
rows 1

# two-step un-audit, line 1001: the out-warehouse batch row
 select * from phk where hh='0001' and stockid ='09' and ph='240212' and dh='200012'
rows 1

# two-step un-audit, line 1001: the out-warehouse batch gets the goods back
update phk set bcsl=isnull(bcsl,0) - 20,sl=isnull(sl,0)+20where hh='0001' and stockid ='09' and ph='240212' and dh='200012'
affects 1
expect select sl, bcsl from phk where hh='0001' and stockid='09' and ph='240212' and dh='200012'
26 | 0

# two-step un-audit, line 1001: the out-warehouse balance row of the current year and period
 select * from ywbalance where hh='0001' and stockid='09' and fyear=0 and fperiod=0
rows 1

# two-step un-audit, line 1001: the out-warehouse balance
update ywbalance set bcsl=isnull(bcsl,0) - 20,sjsl=isnull(sjsl,0)+20,sjje = isnull(sjje,0) + (159.2),sjlsje=isnull(sjlsje,0) + (250) where hh='0001' and stockid='09' and fperiod=0
affects 1
expect select sjsl, sjje, sjlsje, bcsl from ywbalance where hh='0001' and stockid='09' and fperiod=0
26 | 206.96 | 325 | 0

# two-step un-audit, line 1001: the out-warehouse's places get their shares back
Update A Set A.CurrQuantity = IsNull(A.CurrQuantity,0) + IsNull(B.Quantity,0) From GoodsPlaceBalance A Inner Join BillGoodsPlace B On A.GoodsPlaceGuid=B.GoodsPlaceGuid And A.GoodsPlaceNo=B.GoodsPlaceNo And A.WarehouseGuid = B.WarehouseGuid And A.MaterielGuid = B.MaterielGuid And A.BatchNo=B.BatchNo And A.BatchNumber=B.BatchNumber  Where B.BillType='WarehouseOut' And B.BillGuid='DBD202403050005' And B.BillDetailGuid='1001'
affects 2
expect select GoodsPlaceGuid, CurrQuantity from GoodsPlaceBalance where MaterielGuid='0001' and WarehouseGuid='09' order by GoodsPlaceGuid
P09B01 | 15.5
P09B02 | 10.5

# two-step un-audit, line 1001: the shares are removed
Delete From BillGoodsPlace Where BillType='WarehouseOut' And BillGuid='DBD202403050005' And BillDetailGuid='1001'
affects 2

# two-step un-audit: the header
Update ckdbdzk Set PreShry=null,PreShbz=0 where lsh='DBD202403050005'
affects 1
expect select PreShbz, PreShry, shbz, shry from ckdbdzk where lsh='DBD202403050005'
0 | NULL | 0 | NULL

# no-batch mode: the out-warehouse's stock for the two-step audit
select isnull(sjsl,0) as sl from ywbalance where hh='0005' and stockid ='03' and fyear=0 and fperiod=0
expect
13

# no-batch mode: the out-warehouse's stock for the one-step audit, and the in-warehouse's for the reversals
select isnull(sjsl,0) as sl from ywbalance where hh='0005' and stockid ='03' and fperiod=0
expect
13

# one-step audit of the bill from 03: issue from the out-warehouse batch
update phk set bcsl=bcsl + 6,sl=sl - 6where hh='0005' and stockid ='03' and ph='230608' and dh='200051'
affects 1

# one-step audit of the bill from 03: receipt into the in-warehouse batch
update phk set brsl=isnull(brsl,0) + 6,sl=isnull(sl,0)+6,kh='' where hh='0005' and stockid ='02' and ph='230608' and dh='200051'
affects 1

# one-step audit of the bill from 03: the out-warehouse balance
update ywbalance set bcsl=isnull(bcsl,0) + 6,sjsl=isnull(sjsl,0) - 6,sjje = isnull(sjje,0) - (59.4),sjlsje=isnull(sjlsje,0) - (111.6) where hh='0005' and stockid='03' and fperiod=0
affects 1

# one-step audit of the bill from 03: the in-warehouse balance
update ywbalance set bRsl=isnull(bRsl,0) + 6,sjsl=isnull(sjsl,0)+6,sjje = isnull(sjje,0) + (59.4),sjlsje=isnull(sjlsje,0) + (111.6) where hh='0005' and stockid='02' and fperiod=0
affects 1

# one-step audit of the bill from 03: the header
Update ckdbdzk Set Shry='李四',Shbz=1 where lsh='DBD202403020004'
affects 1

# setup: the out-warehouse's batch row and current balance row are removed meanwhile
delete phk where hh='0005' and stockid='03' and ph='230608' and dh='200051'
affects 1

# setup: the out-warehouse's current balance row removed meanwhile
delete ywbalance where hh='0005' and stockid='03' and fperiod=0
affects 1

# one-step un-audit of the bill from 03, line 1001: the in-warehouse batch gives back
update phk set brsl=brsl - 6,sl=sl - 6,kh='' where hh='0005' and stockid ='02' and ph='230608' and dh='200051'
affects 1

# one-step un-audit of the bill from 03, line 1001: the out-warehouse batch row is gone
 select * from phk where hh='0005' and stockid ='03' and ph='230608' and dh='200051'
rows 0

# one-step un-audit of the bill from 03, line 1001: it is created again from the in-warehouse's row with the further columns
Insert Into PHK (HH,PH,DH,StockID,SL,xq,jhdj,scrq,yhrq,dwbh,dwmc,brsl,kh,LastPurchasePrice,qckc,jhsl,xhsl,qtsrsl,qtfcsl,thsl,SellPrice)Select HH,PH,DH,'03',6,xq,jhdj,scrq,yhrq,dwbh,dwmc,6,'',LastPurchasePrice,0,0,0,0,0,0,SellPrice From PHK Where HH = '0005' And ph = '230608' And DH = '200051' And stockid ='02'
affects 1
expect select SL, brsl, bcsl, kh, jhdj, SellPrice, xq from phk where hh='0005' and stockid='03' and ph='230608'
6 | 6 | 0 |  | 9.7 | 18.6 | 2025-06-08

# one-step un-audit of the bill from 03, line 1001: the in-warehouse balance
update ywbalance set brsl=isnull(brsl,0) - 6,sjsl=isnull(sjsl,0) - 6,sjje = isnull(sjje,0) - (59.4),sjlsje=isnull(sjlsje,0) - (111.6) where hh='0005' and stockid='02' and fperiod=0
affects 1
expect select sjsl, sjje, sjlsje, brsl from ywbalance where hh='0005' and stockid='02' and fperiod=0
20 | 194 | 372 | 0

# one-step un-audit of the bill from 03, line 1001: the out-warehouse balance row is gone
 select * from ywbalance where hh='0005' and stockid='03' and fperiod=0
rows 0

# one-step un-audit of the bill from 03, line 1001: it is created again with prices from the goods master
Insert Into YwBalance (HH,STOCKID,FPERIOD,JJ,JJ_CKJ,PFJ,LSJ,SJ,CBJ,YCBJ,QCKC,JHSL,XHSL,QTSRSL,QTFCSL,SJSL,brsl)SELECT HH,'03',0,JJ,JJ_CKJ,PFJ,LSJ,SJ,CBJ,YCBJ,0,0,0,0,0,6,6 FROM YW_KCK WHERE HH='0005'
affects 1
expect select sjsl, brsl, bcsl, CBJ, sjje from ywbalance where hh='0005' and stockid='03' and fperiod=0
6 | 6 | 0 | 9.9 | 0

# one-step un-audit of the bill from 03: the header
Update ckdbdzk Set Shry=null,Shbz=0 where lsh='DBD202403020004'
affects 1

# posting: an audited bill is posted
Update ckdbdzk Set Jzbz=1 Where Lsh='DBD202403020003' and shbz=1
affects 1

# posting: no unposted header is left
Select Count(*) As Bs From ckdbdzk Where Lsh='DBD202403020003' And Jzbz=0
expect
0

# posting: a bill that is not audited is not posted
Update ckdbdzk Set Jzbz=1 Where Lsh='DBD202403010001' and shbz=1
affects 0

# posting: the unaudited bill is still unposted
Select Count(*) As Bs From ckdbdzk Where Lsh='DBD202403010001' And Jzbz=0
expect
1

# one-step un-audit: a posted bill selects no line
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403020003' and IsNull(Shbz,0)=1 and IsNull(Jzbz,0)=0
rows 0

# approval submission: the bill's total
Select round(Sum(Isnull(je,0)),2) as je from ckdbdzkmx where lsh='DBD202403010001'
expect
443.2

# approval submission: the largest line amount
Select round(Max(Isnull(je,0)),2) as je from ckdbdzkmx where lsh='DBD202403010001'
expect
182.4

# approval submission: a bill without lines gives no amount
Select round(Sum(Isnull(je,0)),2) as je from ckdbdzkmx where lsh='DBD202403050099'
expect
NULL

# approval submission: the Guid of the operator who made the bill
Select B.Guid Guid from ckdbdzk a inner join operators b on a.czry=b.name where a.lsh='DBD202403010002'
expect
{9E4A7C21-1B3D-4F5E-8A01-000000000002}
