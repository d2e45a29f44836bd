#include <QTest>

#include "attributes/AttributeCatalogue.h"

using corvane::attributeNameFor;

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    void namingRule_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first entry") << 0 << 16 << QStringLiteral("com.apple.metadata:kMDItemKeywords");
        QTest::newRow("Comment") << 2 << 16 << QStringLiteral("com.apple.metadata:kMDItemComment");
        QTest::newRow("last entry") << 15 << 16
                                    << QStringLiteral("com.apple.metadata:kMDItemApplicationCategories");
        QTest::newRow("index equal to the count") << 16 << 16 << QString();
        QTest::newRow("index past a short list") << 3 << 2 << QString();
    }
    void namingRule()
    {
        QFETCH(int, index);
        QFETCH(int, count);
        QFETCH(QString, expected);
        QCOMPARE(attributeNameFor(index, count, QStringLiteral("typed")), expected);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
