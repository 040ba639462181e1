-- A short kestrel-sql session on the sample database of kestrel-sandbox.

-- One batch, two result sets, and a server message between them.
select id, name, city from customers
print 'Orders per customer:'
select customer_id, count(*) as orders, sum(total) as total
from orders group by customer_id order by customer_id
go

-- A parameter: \set gives :cust its value for the batches that follow.
\set cust 2
select id, ordered, total, note from orders where customer_id = :cust
go

-- A procedure: its row result, its return status and its output parameters.
declare @count int, @total money
exec sp_order_stats :cust, @count output, @total output
go

-- Sort, filter and locate work on the last result, in memory.
select id, customer_id, total, note from orders
go
\sort total desc
\filter total > 50
\locate note express
\filter off
