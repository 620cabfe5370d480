#!/usr/bin/env python3
"""Holds the write lock of a settings database, as another program might: a second process
with its own SQLite connection in an exclusive transaction. Prints "locked" once it holds it,
then keeps it until its standard input closes or SECONDS have passed, and rolls back."""
import select
import sqlite3
import sys

database, seconds = sys.argv[1], float(sys.argv[2])
connection = sqlite3.connect(database, isolation_level=None, timeout=10)
connection.execute("BEGIN EXCLUSIVE")
print("locked", flush=True)
select.select([sys.stdin], [], [], seconds)
connection.execute("ROLLBACK")
connection.close()
print("released", flush=True)
