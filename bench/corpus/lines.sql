# quantity step: the out-warehouse exists
select * from gl_stock where id ='01'

# quantity step: an in-warehouse that does not exist
select * from gl_stock where id ='99'

# saving a line: the warehouse exists, a trailing blank ignored as the database compares
select id from gl_stock where id='01 '

# saving a line: the warehouse is within the operator's scope
select id from gl_stock where id='06' and ID in ('01','02','03')

# quantity step: the out-warehouse's stock of the goods
select sjsl from ywbalance where hh='0021' and stockid='01' and fperiod=0

# batch choice: a configured batch list with the unit coefficient, batches with stock only
select ph as 批号,dh as 批次,jhdj*1000 as 单价,sl/1000 as 数量 from phk  where hh ='0021' AND sl > 0  and stockid ='01'  order by ph

# batch choice: a configured batch list, zero batches too
select ph as 批号,dh as 批次,jhdj*1 as 单价,sl/1 as 数量 from phk  where hh ='0021' and stockid ='01'  order by ph

# batch choice: the built-in batch list, zero batches too
select ph as 批号,dh as 批次,jhdj as 单价,sl as 数量,xq as 效期,scrq as 生产日期,YHRQ AS 入库日期 from phk where hh ='0021' and stockid ='01'

# batch choice: the built-in batch list, batches with stock only
select ph as 批号,dh as 批次,jhdj as 单价,sl as 数量,xq as 效期,scrq as 生产日期,YHRQ AS 入库日期 from phk where hh ='0021' and sl > 0 and stockid ='01'

# batch choice: the purchase price of the chosen batch
select isnull(jhdj,0) jhdj from phk where hh ='0021' and stockid ='01' and ph='240216' and dh='200212'

# batch choice: a batch the out-warehouse does not hold has no price row
select isnull(jhdj,0) jhdj from phk where hh ='0021' and stockid ='02' and ph='240216' and dh='200212'

# saving a line: the goods exists
select top 1 hh from yw_kck where hh='0021'

# saving the first line: the first line number
select max( (cast(dh as int)) ) as maxdh from ckdbdzkmx where lsh='DBD202403050005'

# saving the first line: no header yet
select * from ckdbdzk where lsh='DBD202403050005'

# saving the second line: the next line number
select max( (cast(dh as int)) ) as maxdh from ckdbdzkmx where lsh='DBD202403050005'

# amending: the line of an unaudited bill (one-step)
select a.lsh,b.shbz,a.dh from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and a.dh = '1001' and b.shbz=0

# amending: the line of an unconfirmed bill (two-step)
select a.lsh,b.shbz,a.dh,isnull(b.preshbz,0) preshbz from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and a.dh = '1001' and isnull(b.shbz,0)=0

# amending: the line with its bill's states and in-warehouse (two-step)
select a.lsh,isnull(b.shbz,0) shbz,a.dh,isnull(b.preshbz,0) preshbz,isnull(b.drstockid,'') drstockid,a.dh,a.hh,a.ph,a.pcdh,isnull(a.sl,0) sl from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and a.dh = '1001'

# amending: the line loaded into the entry row
select *,d.name as dcstockname,e.name as drstockname,a.hh,a.dj,a.sl,a.je,a.lsze,a.srsl,a.kh,a.bz from ckdbdzkmx a inner join ckdbdzk b on a.lsh = b.lsh left join gl_stock d on b.dcstockid=d.id left join gl_stock e on b.drstockid=e.id where b.lsh='DBD202403050005' and a.dh='1001'

# deleting a line: the line of a bill still open (two-step)
select a.lsh,b.shbz,a.dh,b.drstockid,isnull(b.preshbz,0) preshbz from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and a.dh = '1001' and IsNull(b.preshbz,0)=0

# deleting a line: the line of a bill still open (one-step)
select a.lsh,b.shbz,a.dh,b.drstockid from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and a.dh = '1001' and b.shbz=0

# deleting a line: a line of an audited bill is not found
select a.lsh,b.shbz,a.dh,b.drstockid from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403020003' and a.dh = '1001' and b.shbz=0

# deleting a bill: an open bill is found
select LSH,shbz from ckdbdzk where lsh='DBD202403020004' AND SHBZ=0

# deleting a bill: an audited bill is not found and not deleted
select LSH,shbz from ckdbdzk where lsh='DBD202403020003' AND SHBZ=0
