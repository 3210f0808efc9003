# Statements of the bill lines: the quantity and batch step, saving, amending and deleting lines
# and bills, and the goods places. A new bill DBD202403050005 from 01 to 05 (goods places) is
# saved line by line, amended and deleted. Block format: tests/core/tsql_StatementCorpusTest.cpp.

# quantity step: the out-warehouse exists
select * from gl_stock where id ='01'
rows 1

# quantity step: an in-warehouse that does not exist
select * from gl_stock where id ='99'
rows 0

# saving a line: the warehouse exists, a trailing blank ignored as the database compares
select id from gl_stock where id='01 '
expect
01

# saving a line: the warehouse is within the operator's scope
select id from gl_stock where id='06' and ID in ('01','02','03')
rows 0

# quantity step: the out-warehouse's stock of the goods
select sjsl from ywbalance where hh='0021' and stockid='01' and fperiod=0
expect
33.75

# batch choice: a configured batch list with the unit coefficient, batches with stock only
select ph as 批号,dh as 批次,jhdj*1000 as 单价,sl/1000 as 数量 from phk  where hh ='0021' AND sl > 0  and stockid ='01'  order by ph
expect
230208 | 200211 | 115640 | 0.0135
240216 | 200212 | 120360 | 0.02025

# batch choice: a configured batch list, zero batches too
select ph as 批号,dh as 批次,jhdj*1 as 单价,sl/1 as 数量 from phk  where hh ='0021' and stockid ='01'  order by ph
rows 2

# batch choice: the built-in batch list, zero batches too
select ph as 批号,dh as 批次,jhdj as 单价,sl as 数量,xq as 效期,scrq as 生产日期,YHRQ AS 入库日期 from phk where hh ='0021' and stockid ='01'
rows 2

# batch choice: the built-in batch list, batches with stock only
select ph as 批号,dh as 批次,jhdj as 单价,sl as 数量,xq as 效期,scrq as 生产日期,YHRQ AS 入库日期 from phk where hh ='0021' and sl > 0 and stockid ='01'
rows 2

# batch choice: the purchase price of the chosen batch
select isnull(jhdj,0) jhdj from phk where hh ='0021' and stockid ='01' and ph='240216' and dh='200212'
expect
120.36

# batch choice: a batch the out-warehouse does not hold has no price row
select isnull(jhdj,0) jhdj from phk where hh ='0021' and stockid ='02' and ph='240216' and dh='200212'
rows 0

# saving a line: a bill not yet stored is not audited
Select top 1 isnull(preshbz,0) preshbz from ckdbdzk where lsh='DBD202403050005'
rows 0

# saving a line: an audited bill refuses lines
Select top 1 shbz from ckdbdzk where lsh='DBD202403020003'
expect
1

# saving a line: the goods exists
select top 1 hh from yw_kck where hh='0021'
rows 1

# saving a line: the in-warehouse keeps goods places
Select FDeleted From GL_Stock Where ID='05'
expect
1

# saving the first line: the first line number
select max( (cast(dh as int)) ) as maxdh from ckdbdzkmx where lsh='DBD202403050005'
expect
NULL

# saving the first line: no header yet
select * from ckdbdzk where lsh='DBD202403050005'
rows 0

# saving the first line: the header
insert into ckdbdzk(lsh,kdrq,dcstockid,drstockid,bz,czry,shbz,shry,jzbz) values ('DBD202403050005','2024-03-05','01','05','饮片补货','系统管理员',0,'',0)
affects 1

# saving the first line: a line with batch
insert into ckdbdzkmx (lsh,dh,hh,pm,ph,pcdh,dj,sl,je,lsj,lsze,wslsze,cj,dw,srsl,kh,bz,dcstockid,drstockid) values('DBD202403050005','1001','0021','当归','240216','200212',120.36,2,240.72,180,360,330.28,97.62,'千克',2,'','饮片补货','01','05')
affects 1
expect select dh, hh, ph, pcdh, dj, sl, je, lsze, wslsze, cj, dw, srsl, kh from ckdbdzkmx where lsh='DBD202403050005'
1001 | 0021 | 240216 | 200212 | 120.36 | 2 | 240.72 | 360 | 330.28 | 97.62 | 千克 | 2 | 

# saving the first line: the in-warehouse split of the line replaces the old one
Delete From BillGoodsPlace Where BillType='WarehouseIn' And BillGuid='DBD202403050005' And BillDetailGuid='1001'
affects 0

# saving the first line: one place of the split
Insert Into BillGoodsPlace(BillType,BillGuid,BillDetailGuid,MaterielGuid,WarehouseGuid,BatchNo,BatchNumber,GoodsPlaceGuid,GoodsPlaceNo,Quantity,Notes) Values ('WarehouseIn','DBD202403050005','1001','0021','05','240216','200212','P05Y02','Y02','1.5','')
affects 1

# saving the first line: another place of the split
Insert Into BillGoodsPlace(BillType,BillGuid,BillDetailGuid,MaterielGuid,WarehouseGuid,BatchNo,BatchNumber,GoodsPlaceGuid,GoodsPlaceNo,Quantity,Notes) Values ('WarehouseIn','DBD202403050005','1001','0021','05','240216','200212','P05Y03','Y03','0.5','')
affects 1
expect select GoodsPlaceGuid, Quantity, Notes from BillGoodsPlace where BillGuid='DBD202403050005' order by GoodsPlaceGuid
P05Y02 | 1.5 | 
P05Y03 | 0.5 | 

# saving the second line: the next line number
select max( (cast(dh as int)) ) as maxdh from ckdbdzkmx where lsh='DBD202403050005'
expect
1001

# saving the second line: the header is rewritten
update ckdbdzk set kdrq='2024-03-05',bz='饮片补货',czry='系统管理员',dcstockid='01',drstockid='05' where lsh='DBD202403050005'
affects 1

# saving the second line: a line without batch (amount-only goods)
insert into ckdbdzkmx (lsh,dh,hh,pm,ph,pcdh,dj,sl,je,lsj,lsze,wslsze,cj,dw,srsl,KH,bz,dcstockid,drstockid) values('DBD202403050005','1002','0040','中药饮片零货','','',0.7,0,50,1,70,64.22,15.5,'',0,'','饮片补货','01','05')
affects 1
expect select dh, hh, ph, pcdh, je, lsze from ckdbdzkmx where lsh='DBD202403050005' order by dh
1001 | 0021 | 240216 | 200212 | 240.72 | 360
1002 | 0040 |        |        | 50     | 70

# amending: the line of an unaudited bill (one-step)
select a.lsh,b.shbz,a.dh from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and a.dh = '1001' and b.shbz=0
rows 1

# amending: the line of an unconfirmed bill (two-step)
select a.lsh,b.shbz,a.dh,isnull(b.preshbz,0) preshbz from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and a.dh = '1001' and isnull(b.shbz,0)=0
expect
DBD202403050005 | 0 | 1001 | 0

# amending: the line with its bill's states and in-warehouse (two-step)
select a.lsh,isnull(b.shbz,0) shbz,a.dh,isnull(b.preshbz,0) preshbz,isnull(b.drstockid,'') drstockid,a.dh,a.hh,a.ph,a.pcdh,isnull(a.sl,0) sl from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and a.dh = '1001'
expect
DBD202403050005 | 0 | 1001 | 0 | 05 | 1001 | 0021 | 240216 | 200212 | 2

# amending a pre-audited line: its in-warehouse split is rewritten
Delete From BillGoodsPlace Where BillType='WarehouseIn' And BillGuid='DBD202403050005' And BillDetailGuid='1001'
affects 2

# amending a pre-audited line: the new split
Insert Into BillGoodsPlace(BillType,BillGuid,BillDetailGuid,MaterielGuid,WarehouseGuid,BatchNo,BatchNumber,GoodsPlaceGuid,GoodsPlaceNo,Quantity,Notes) Values ('WarehouseIn','DBD202403050005','1001','0021','05','240216','200212','P05Y01','Y01','2','')
affects 1

# amending: the line loaded into the entry row
select *,d.name as dcstockname,e.name as drstockname,a.hh,a.dj,a.sl,a.je,a.lsze,a.srsl,a.kh,a.bz from ckdbdzkmx a inner join ckdbdzk b on a.lsh = b.lsh left join gl_stock d on b.dcstockid=d.id left join gl_stock e on b.drstockid=e.id where b.lsh='DBD202403050005' and a.dh='1001'
rows 1

# amending: the line with batch is updated
Update ckdbdzkmx set dcstockid='01',drstockid='05',hh='0021',pm='当归',ph='230208',pcdh='200211',dj=115.64,sl=2.5,je=289.1,lsj=180,lsze=450,wslsze=412.84,cj=134.88,dw='千克',srsl=2.5,Kh='',Bz='饮片补货' where lsh='DBD202403050005' and dh='1001'
affects 1
expect select ph, pcdh, dj, sl, je, lsze, wslsze, cj from ckdbdzkmx where lsh='DBD202403050005' and dh='1001'
230208 | 200211 | 115.64 | 2.5 | 289.1 | 450 | 412.84 | 134.88

# amending: the line without batch is updated
Update ckdbdzkmx set dcstockid='01',drstockid='05',hh='0040',pm='中药饮片零货',ph='',pcdh='',dj=0.7,sl=0,je=60,lsj=1,lsze=80,wslsze=73.39,cj=14.6,dw='',srsl=0,Kh='',Bz='饮片补货' where lsh='DBD202403050005' and dh='1002'
affects 1

# deleting a line: the line of a bill still open (two-step)
select a.lsh,b.shbz,a.dh,b.drstockid,isnull(b.preshbz,0) preshbz from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and a.dh = '1001' and IsNull(b.preshbz,0)=0
rows 1

# deleting a line: the line of a bill still open (one-step)
select a.lsh,b.shbz,a.dh,b.drstockid from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and a.dh = '1001' and b.shbz=0
expect
DBD202403050005 | 0 | 1001 | 05

# deleting a line: a line of an audited bill is not found
select a.lsh,b.shbz,a.dh,b.drstockid from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403020003' and a.dh = '1001' and b.shbz=0
rows 0

# deleting a line: the line
delete ckdbdzkmx where lsh='DBD202403050005' and dh = '1001'
affects 1

# deleting a line: does the in-warehouse keep goods places?
Select IsNull(FDeleted,0) As FDeleted From GL_Stock Where ID='05'
expect
1

# deleting a line: its goods-place rows of both sides
Delete From BillGoodsPlace Where (BillType='WarehouseIn' Or BillType='WarehouseOut') And BillGuid='DBD202403050005' And BillDetailGuid='1001'
affects 1
expect select count(*) from BillGoodsPlace where BillGuid='DBD202403050005'
0

# deleting a bill: an open bill is found
select LSH,shbz from ckdbdzk where lsh='DBD202403020004' AND SHBZ=0
rows 1

# deleting a bill: the header
DELETE FROM ckdbdzk WHERE LSH='DBD202403020004' AND SHBZ=0
affects 1

# deleting a bill: its lines
Delete From ckdbdzkMX WHERE LSH='DBD202403020004'
affects 1

# deleting a bill: an audited bill is not found and not deleted
select LSH,shbz from ckdbdzk where lsh='DBD202403020003' AND SHBZ=0
rows 0

# goods places: the out-warehouse button asks whether the warehouse keeps places
Select FDeleted From GL_Stock Where ID='01'
expect
0

# goods places: the batch-stock columns, no rows
Select top 0 * from phk
rows 0
