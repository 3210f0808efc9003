# Statements of the session: the operator look-up, the settings, the rights and the data scope,
# and the selection templates. Sample operator 002 (张三, group 仓库组), right model 'A10402'.
# Block format: see tests/core/tsql_StatementCorpusTest.cpp.

# session: the operator's Guid from the operator code
Select Guid From Operators Where Code='002'
expect
{9E4A7C21-1B3D-4F5E-8A01-000000000002}

# session: an operator code that is not there gives no row
Select Guid From Operators Where Code='999'
rows 0

# settings: the first 41 columns of sys_var, in the settings order
Select slws,pfjws,lsjws,sjws,hsjws,wsjws,cbjws,jjbl,ztdh,bz1,bz2,bz3,bz4,bz5,bz6,bz7,bz8,bz9,xz1,xz2,xz3,xz4,xz5,xz6,xz7,xz8,xz9,rkdsh,xhdsh,dcdsh,ykdsh,lsjz,ykfs,glph,phzx,sf_tag,zdxjbl,ywjz,jzyf,ckperiod,qyzt from sys_var
rows 1

# settings: the system variables kept open for the session
select * from sys_Var
rows 1

# settings: a profile value by category and key
Select FValue From t_SystemProfile Where FCategory='GL' And FKey='FCurrYear'
expect
2024

# settings: a key stored under another category is not found
Select FValue From t_SystemProfile Where FCategory='GL' And FKey='CompanyName'
rows 0

# settings: the batch sell-price switch, read without a category
Select IsNull(FValue,'') FValue From t_SystemProfile Where FKey='UpdateBatchSellPrice'
expect
0

# rights: the module's right model
select Guid from rightmodel Where OldRightModel='A10402'
expect
{6B1F0A42-0402-4C3E-9A10-A10402000001}

# rights: the operator's Guid from the code
Select guid from operators where code='002'
expect
{9E4A7C21-1B3D-4F5E-8A01-000000000002}

# rights: the right names of the model
Select IsNull(RightInfo1,'') RightInfo1,IsNull(RightInfo2,'') RightInfo2,IsNull(RightInfo3,'') RightInfo3 from RightModel where guid='{6B1F0A42-0402-4C3E-9A10-A10402000001}'
expect
新增,修改,删除,打印,重打,报表 | 记帐,审核,反审,确认,反确认 | 查看所有用户,查看本组用户

# rights: the operator's own value list
Select RightValue2 from rights where RightModelGuid='{6B1F0A42-0402-4C3E-9A10-A10402000001}' and operatorGuid='{9E4A7C21-1B3D-4F5E-8A01-000000000002}'
expect
0,1,1,1,1

# rights: the operator's groups, after an own row
Select GroupGuid from operatorGroupMember where OperatorGuid='{9E4A7C21-1B3D-4F5E-8A01-000000000002}'
expect
{3C2D8E10-5F61-4B7A-8C01-000000000101}

# rights: a group's value list, after an own row
Select RightValue1 from RightGroup where operatorGroupGuid='{3C2D8E10-5F61-4B7A-8C01-000000000101}' and RightModelGuid='{6B1F0A42-0402-4C3E-9A10-A10402000001}'
expect
1,0,0,1,0,0

# rights: the operator's groups, without an own row (operator 004)
select GroupGuid from operatorGroupMember where operatorGuid='{9E4A7C21-1B3D-4F5E-8A01-000000000004}'
expect
{3C2D8E10-5F61-4B7A-8C01-000000000101}

# rights: a group's value list, without an own row
Select RightValue3 from RightGroup where OperatorGroupGuid='{3C2D8E10-5F61-4B7A-8C01-000000000102}' and RightModelGuid='{6B1F0A42-0402-4C3E-9A10-A10402000001}'
expect
1,0

# data scope: the model defines the data-scope rights
Select guid from rightModel where isnull(rightInfo1,'') + isnull(rightInfo2,'') + isnull(rightInfo3,'') + isnull(rightInfo4,'') + isnull(rightinfo5,'') like '%查看所有用户%' And Guid='{6B1F0A42-0402-4C3E-9A10-A10402000001}'
expect
{6B1F0A42-0402-4C3E-9A10-A10402000001}

# data scope: the operator's name for the own-bills filter
select name from operators where guid='{9E4A7C21-1B3D-4F5E-8A01-000000000003}'
expect
李四

# selection: a template by name (none stored: every list uses its built-in default)
Select FSQL From GLSelect Where FDH='调出仓库选择'
rows 0
