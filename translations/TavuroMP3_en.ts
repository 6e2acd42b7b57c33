<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>TaskFile</name>
    <message>
        <source>无控制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>每日</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>每周</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>每月</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>指定日期</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>临时一次</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>顺序</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>随机</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>音频文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>事务</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>否</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>是</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>周一</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>周二</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>周三</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>周四</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>周五</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>周六</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>周日</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1日</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1%2</source>
        <comment>one listed day after another</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MP3定时播放器程序已运行！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
