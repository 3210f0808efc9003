# one-step audit: the header's flags, read before the question and again, under an update lock,
# as the first statement of the transaction
select isnull(PreShbz,0) PreShbz,isnull(Shbz,0) Shbz,isnull(Jzbz,0) Jzbz from ckdbdzk with (updlock, rowlock) where lsh='DBD202403010001'

# one-step audit: the bill's lines still to audit
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403010001' and shbz=0

# one-step audit, line 1001: money-only goods?
select fonlymoney from yw_kck where hh='0001'

# one-step audit, line 1001: the out-warehouse batch stock and its sell price
select sl,isnull(sellprice,0) sellprice from phk where hh='0001' and stockid ='01' and ph='230208' and dh='200011'

# one-step audit, line 1002: the out-warehouse batch stock
select sl,isnull(sellprice,0) sellprice from phk where hh='0003' and stockid ='01' and ph='240207' and dh='200032'

# one-step audit: a second audit selects no line
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403010001' and shbz=0

# one-step un-audit: the audited, unposted bill's lines
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403010001' and IsNull(Shbz,0)=1 and IsNull(Jzbz,0)=0

# one-step un-audit, line 1001: the in-warehouse batch stock and its list
select sl,kh from phk where hh='0001' and stockid ='02' and ph='230208' and dh='200011'

# one-step un-audit, line 1003: the in-warehouse batch's list loses the line's code
select sl,kh from phk where hh='0014' and stockid ='02' and ph='230515' and dh='200141'

# one-step audit into goods places: the bill's lines
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403010002' and shbz=0

# one-step un-audit out of goods places: the bill's lines
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403010002' and IsNull(Shbz,0)=1 and IsNull(Jzbz,0)=0

# one-step un-audit out of goods places, line 1001: the in-warehouse batch stock
select sl,kh from phk where hh='0021' and stockid ='05' and ph='240216' and dh='200212'

# two-step audit: the lines not yet audited
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and IsNull(PreShbz,0)=0

# two-step audit, line 1001: the out-warehouse batch stock
select sl from phk where hh='0001' and stockid ='09' and ph='240212' and dh='200012'

# confirm: the lines not yet confirmed
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and shbz=0

# un-confirm: the confirmed, unposted lines
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and shbz=1 and IsNull(Jzbz,0)=0

# un-confirm, line 1001: the in-warehouse batch stock
select sl,kh from phk where hh='0001' and stockid ='10' and ph='240212' and dh='200012'

# two-step un-audit: the audited, unposted lines
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403050005' and IsNull(PreShbz,0)=1 and IsNull(Jzbz,0)=0

# no-batch mode: the out-warehouse's stock for the two-step audit
select isnull(sjsl,0) as sl from ywbalance where hh='0005' and stockid ='03' and fyear=0 and fperiod=0

# no-batch mode: the out-warehouse's stock for the one-step audit, and the in-warehouse's for the reversals
select isnull(sjsl,0) as sl from ywbalance where hh='0005' and stockid ='03' and fperiod=0

# one-step un-audit: a posted bill selects no line
select *,a.hh,a.je,a.lsze from ckdbdzkmx a inner join ckdbdzk b on a.lsh=b.lsh where a.lsh='DBD202403020003' and IsNull(Shbz,0)=1 and IsNull(Jzbz,0)=0
