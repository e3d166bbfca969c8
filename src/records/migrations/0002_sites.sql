-- One login role per site, each a member of mirai_station. Every station reads every site's runs
-- (the rankings show the other sites' students); it adds, corrects and deletes only its own site's.
--   CREATE ROLE site_00001 LOGIN IN ROLE mirai_station;
--   INSERT INTO mirai_sites VALUES ('00001', 'site_00001');

CREATE TABLE mirai_sites (
    site_code text PRIMARY KEY, -- as the records carry it, without trailing blanks
    role_name name NOT NULL UNIQUE
);

DO $$
BEGIN
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'mirai_station') THEN
        CREATE ROLE mirai_station NOLOGIN;
    END IF;
END $$;

-- The site of the role connected, as the records' bytes have it; none for a role of no site.
CREATE FUNCTION mirai_own_site() RETURNS bytea LANGUAGE sql STABLE
SET search_path = pg_catalog, public AS $$
    SELECT convert_to(site_code, 'SJIS') FROM public.mirai_sites WHERE role_name = current_user
$$;

GRANT SELECT ON mirai_sites, mirai_run_count, mirai_schema TO mirai_station;
GRANT SELECT, INSERT, UPDATE, DELETE ON mirai_runs, mirai_answers TO mirai_station;
GRANT EXECUTE ON FUNCTION mirai_own_site() TO mirai_station;

ALTER TABLE mirai_runs ENABLE ROW LEVEL SECURITY;
CREATE POLICY everyone_reads ON mirai_runs FOR SELECT USING (true);
CREATE POLICY own_site_adds ON mirai_runs FOR INSERT WITH CHECK (site = mirai_own_site());
CREATE POLICY own_site_corrects ON mirai_runs FOR UPDATE
    USING (site = mirai_own_site()) WITH CHECK (site = mirai_own_site());
CREATE POLICY own_site_deletes ON mirai_runs FOR DELETE USING (site = mirai_own_site());

ALTER TABLE mirai_answers ENABLE ROW LEVEL SECURITY;
CREATE POLICY everyone_reads ON mirai_answers FOR SELECT USING (true);
CREATE POLICY own_site_adds ON mirai_answers FOR INSERT WITH CHECK (site = mirai_own_site());
CREATE POLICY own_site_deletes ON mirai_answers FOR DELETE USING (site = mirai_own_site());
