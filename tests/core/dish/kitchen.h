#pragma once

// Stores for the dish tests, as SQL on top of the schema.

#include "tests/support/testsupport.h"

#include <QString>

// Foods with round figures, a piece of 50 g, soy sauce's own spoon of 15 g
// (the general 大さじ weighs no food), and three
// dishes: ごはん (one line, and one whose food 999 no longer exists),
// ミルク粥 (three lines) and 空の料理 (none, the last in store order).
inline QString kitchenSql()
{
    return minimalReferenceSql() +
           QStringLiteral(
               "INSERT INTO bun VALUES (1, '穀類'), (13, '乳類');"
               "INSERT INTO tni VALUES ('大さじ', 15), ('個', 50);"
               "INSERT INTO etn(SID,TNM,KAK,USR) VALUES (3,'大さじ',15,0);"
               "INSERT INTO eys(SID,SNM,SKN,BID,ENC,SUI,TAN,SST,TST,TSS,KBN,NAT) VALUES"
               " (1,'米','ｺﾒ',1,350,15,6,1,77,0.5,0.4,0),"
               " (2,'牛乳','ｷﾞｭｳﾆｭｳ',13,67,87,3.3,3.8,4.8,0,0.7,0.1),"
               " (3,'しょうゆ','ｼｮｳﾕ',20,71,67,7.7,0,10,0,15,14.5);"
               "INSERT INTO mnu(ID,アイテム名) VALUES (1,'ごはん'),(2,'ミルク粥'),(3,'空の料理');"
               "INSERT INTO kou(ID,アイテムCD,食品コード,数量,単位,数量2) VALUES"
               " (1,1,1,150,'ｇ',1.5),(2,1,999,100,'ｇ',1),"
               " (3,2,1,50,'ｇ',0.5),(4,2,2,200,'ｇ',2),(5,2,3,1,'大さじ',0.15);");
}

// Each food has its own figure in every field, so that a field read into the
// wrong box shows.
inline QString totalsSql()
{
    return minimalReferenceSql() +
           QStringLiteral(
               "INSERT INTO eys(SID,SNM,BID,ENC,SUI,TAN,SST,TST,TSS,KBN,NAT) VALUES"
               " (1,'例の食品',20,100,80,0,0,0,0,0,0.5),"
               " (2,'区別の食品',20,1234567,10,20,30,40,50,60,0),"
               " (3,'端数の食品',20,1234.5,12.25,12.24,5,0.05,0.04,100,0.125),"
               " (4,'少し',20,999.4,0,0,0,0,0,0,0),"
               " (5,'水',20,0,100,0,0,0,0,0,0),"
               " (6,'濃い',20,1e300,1e300,0,0,0,0,0,1e300);"
               "INSERT INTO mnu(ID,アイテム名) VALUES (1,'例'),(2,'区別'),(3,'端数'),(4,'少し'),"
               " (5,'消えた食品'),(6,'重さ0'),(7,'空'),(8,'桁外れ'),(40000,'大きな鍵');"
               "INSERT INTO kou(アイテムCD,食品コード,数量,単位,数量2) VALUES"
               " (1,1,150,'ｇ',1.5),"
               " (2,2,100,'ｇ',1),"
               " (3,3,100,'ｇ',1),"
               " (4,4,100,'ｇ',1),"
               " (5,5,100,'ｇ',1),(5,999,100,'ｇ',1),"
               " (6,1,0,'ｇ',0),"
               " (8,6,1e300,'ｇ',1e307),(8,6,1e300,'ｇ',1e307),"
               " (40000,1,50,'ｇ',0.5);");
}

// The connection text of the store the test folder holds.
inline QString testStore()
{
    return QStringLiteral("Data Source=zento.dll");
}
