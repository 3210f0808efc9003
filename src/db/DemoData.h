#pragma once
// Fills a freshly created embedded database with the demo data a clerk can try at once. Each
// function writes its own group of tables; DatabaseFactory calls them in this order inside one
// transaction. Facts that scenarios rely on are listed in src/db/DEMO.md.
#include <cmath>

namespace storeadjust::db {

class SqliteFile;

// Demo prices and amounts are money: two places.
inline double Round2(double value) { return std::round(value * 100.0) / 100.0; }

void FillDemoCatalog(SqliteFile& db);     // KCLB, gl_stock, yw_kck, t_MeasureUnit, GoodsPlace
void FillDemoSettings(SqliteFile& db);    // sys_var, t_SystemProfile, t_billnum, sys_dh, approval switch
void FillDemoOperators(SqliteFile& db);   // Operators, RightModel, rights, groups, data scope
void FillDemoStock(SqliteFile& db);       // phk, bills, ywbalance, goods-place balances

}  // namespace storeadjust::db
