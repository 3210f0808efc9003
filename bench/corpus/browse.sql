# browser load: the module's right model
select Guid from rightmodel Where OldRightModel='A10402'

# browser load: the system variables
select * from sys_Var
