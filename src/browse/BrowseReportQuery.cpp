#include "browse/BrowseReportQuery.h"

#include "host/LinePriceInBaseUnit.h"

namespace storeadjust {

std::string BrowseReportQuery(const std::string& scopeFilter) {
  return std::string("SELECT A.LSH AS 流水号, A.KDRQ AS 开单日期,A.DCSTOCKID AS 拨出仓库编号,A.DRSTOCKID AS 拨入仓库编号,") +
         " A.BZ AS 备注, A.CZRY AS 操作人员,  E.NAME AS 仓库名称, B.DH AS 单号," +
         " B.HH AS 货号, C.LB AS 类别代号, D.NAME AS 类别名称, C.PM AS 品名, C.GG AS 规格, C.CD AS 产地, C.PDW AS 单位," +
         " " + LinePriceInBaseUnitSql("B") + " AS 单价, B.SL AS 数量, B.JE AS 金额 " +
         " FROM CKDBDzk A LEFT JOIN CKDBDzkMX B ON A.LSH = B.LSH LEFT JOIN YW_KCK C ON B.HH = C.HH LEFT JOIN" +
         " KCLB D ON C.LB = D.ID LEFT JOIN GL_Stock E ON A.DCStockID = E.ID" + " Where IsNull(a.jzbz,0)=0 " + scopeFilter +
         " Order By A.LSH";
}

}  // namespace storeadjust
