# settings: the system variables kept open for the session
select * from sys_Var

# rights: the module's right model
select Guid from rightmodel Where OldRightModel='A10402'

# rights: the operator's groups, without an own row (operator 004)
select GroupGuid from operatorGroupMember where operatorGuid='{9E4A7C21-1B3D-4F5E-8A01-000000000004}'

# data scope: the operator's name for the own-bills filter
select name from operators where guid='{9E4A7C21-1B3D-4F5E-8A01-000000000003}'
