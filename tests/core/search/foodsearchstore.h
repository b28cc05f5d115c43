#pragma once

// The food search's test store, shared by the core and window tests.
#include "tests/support/testsupport.h"

#include <QString>

// Foods chosen so that each search has one right answer: readings with the
// characters a LIKE pattern treats specially, one food per vitamin A field
// on top, a food whose category does not exist, and two foods of one
// category with the same name.
inline QString foodSearchStoreSql()
{
    return minimalReferenceSql() +
           QStringLiteral("INSERT INTO bun VALUES "
                          "(1,'穀類'),(6,'野菜類'),(7,'果実類'),(13,'乳類'),(17,'調味料類');"
                          "INSERT INTO eys(SID,SNM,SKN,BID,ENC,NAT,VAR,VAC,VAK) VALUES"
                          " (1,'こめ','ｺﾒ',1,342,0,0,0,0),"
                          " (2,'普通牛乳','ﾌﾂｳｷﾞｭｳﾆｭｳ',13,61,0.1,38,6,127),"
                          " (3,'低脂肪牛乳','ﾃｲｼﾎﾞｳｷﾞｭｳﾆｭｳ',13,46,0.2,13,3,45),"
                          " (4,'分類のない食品','ｷﾞｭｳﾆｭｳ ﾌﾞﾝﾙｲﾅｼ',99,9999,999,99999,99999,99999),"
                          " (5,'果汁100%','ｶｼﾞｭｳ 100%',7,40,0,0,0,0),"
                          " (6,'下線食品','A_B',7,1,0,0,0,0),"
                          " (7,'似た食品','AXB',7,2,0,0,0,0),"
                          " (8,'おかし','ｵ''ｶｼ',17,3,0,0,0,0),"
                          " (9,'えんかん','ｴﾝ\\ｶﾝ',17,4,0,0,0,0),"
                          " (10,'食塩','ｼｮｸｴﾝ',17,0,99.5,0,0,0),"
                          " (11,'にんじん','ﾆﾝｼﾞﾝ',6,37,0.1,0,8600,1500),"
                          " (12,'レバー','ﾚﾊﾞｰ',6,130,0.2,13000,0,700),"
                          " (13,'うなぎ','ｳﾅｷﾞ',6,250,0.3,1500,1,5000),"
                          " (14,'普通牛乳','ﾌﾂｳｷﾞｭｳﾆｭｳ ﾆ',13,62,0.1,38,6,127);");
}
