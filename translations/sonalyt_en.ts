<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ProbeType</name>
    <message>
        <source>直探头</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>斜探头</source>
        <translation>Angle</translation>
    </message>
    <message>
        <source>双晶探头</source>
        <translation>Dual</translation>
    </message>
    <message>
        <source>穿透探头</source>
        <translation>Through</translation>
    </message>
</context>
<context>
    <name>ReportPage</name>
    <message>
        <source>数字式超声波探伤仪探伤报告</source>
        <translation>Ultrasonic Flaw Detection Report</translation>
    </message>
    <message>
        <source>检测单位</source>
        <translation>Inspection body</translation>
    </message>
    <message>
        <source>报告编号</source>
        <translation>Report No.</translation>
    </message>
    <message>
        <source>委托单位</source>
        <translation>Client</translation>
    </message>
    <message>
        <source>检测日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>Serial No.</translation>
    </message>
    <message>
        <source>表面热处理</source>
        <translation>Heat treatment</translation>
    </message>
    <message>
        <source>材质</source>
        <translation>Material</translation>
    </message>
    <message>
        <source>表面粗糙度</source>
        <translation>Surface roughness</translation>
    </message>
    <message>
        <source>型号</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>探头类型</source>
        <translation>Probe type</translation>
    </message>
    <message>
        <source>灵敏度</source>
        <translation>Sensitivity</translation>
    </message>
    <message>
        <source>晶片尺寸</source>
        <translation>Crystal size</translation>
    </message>
    <message>
        <source>前沿</source>
        <translation>Front</translation>
    </message>
    <message>
        <source>回波抑制</source>
        <translation>Reject</translation>
    </message>
    <message>
        <source>探头K值</source>
        <translation>K value</translation>
    </message>
    <message>
        <source>频率</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>回波延时</source>
        <translation>Delay</translation>
    </message>
    <message>
        <source>折射角</source>
        <translation>Refraction angle</translation>
    </message>
    <message>
        <source>零点</source>
        <translation>Zero</translation>
    </message>
    <message>
        <source>声程范围</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>声速</source>
        <translation>Velocity</translation>
    </message>
    <message>
        <source>探伤结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>探伤标准</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>探伤人员</source>
        <translation>Inspector</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>负责人员</source>
        <translation>Supervisor</translation>
    </message>
    <message>
        <source>高度</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Remarks</translation>
    </message>
    <message>
        <source>等级</source>
        <translation>Grade</translation>
    </message>
    <message>
        <source>工件</source>
        <translation>Workpiece</translation>
    </message>
    <message>
        <source>探头</source>
        <translation>Probe</translation>
    </message>
    <message>
        <source>探伤仪</source>
        <translation>Flaw detector</translation>
    </message>
    <message>
        <source>缺陷</source>
        <translation>Defect</translation>
    </message>
    <message>
        <source>定位</source>
        <translation>Location</translation>
    </message>
    <message>
        <source>探伤评定</source>
        <translation>Evaluation</translation>
    </message>
    <message>
        <source>定量</source>
        <translation>Sizing</translation>
    </message>
    <message>
        <source>度 </source>
        <translation>° </translation>
    </message>
    <message>
        <source>A定位</source>
        <translation>A location</translation>
    </message>
    <message>
        <source>A当量</source>
        <translation>A equiv.</translation>
    </message>
    <message>
        <source>B定位</source>
        <translation>B location</translation>
    </message>
    <message>
        <source>B当量</source>
        <translation>B equiv.</translation>
    </message>
    <message>
        <source>距离</source>
        <translation>Distance</translation>
    </message>
    <message>
        <source>水平</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>垂直</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>当量</source>
        <translation>Equivalent</translation>
    </message>
</context>
<context>
    <name>sonalyt::app::OverviewPanel</name>
    <message>
        <source>分析中 %p%</source>
        <translation>Analysing %p%</translation>
    </message>
    <message>
        <source>闸门A</source>
        <translation>Gate A</translation>
    </message>
    <message>
        <source>耦合</source>
        <translation>Coupl.</translation>
    </message>
    <message>
        <source>B扫描</source>
        <translation>B-scan</translation>
    </message>
    <message>
        <source>100%</source>
        <translation>100%</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>无法分析此记录：%1</source>
        <translation>Cannot analyse this recording: %1</translation>
    </message>
    <message>
        <source>备注（记录 %1）：%2</source>
        <translation>Note (record %1): %2</translation>
    </message>
    <message>
        <source>记录 %1 起设置改变</source>
        <translation>Settings change from record %1</translation>
    </message>
    <message>
        <source>记录 %1，帧 %2</source>
        <translation>Record %1, frame %2</translation>
    </message>
    <message>
        <source>尚未分析</source>
        <translation>Not analysed yet</translation>
    </message>
    <message>
        <source>闸门A最高波幅 %1%</source>
        <translation>Gate A peak amplitude %1%</translation>
    </message>
    <message>
        <source>闸门A报警</source>
        <translation>Gate A alarm</translation>
    </message>
    <message>
        <source>耦合丢失（闸门B无回波）</source>
        <translation>Coupling lost (no echo in gate B)</translation>
    </message>
</context>
<context>
    <name>sonalyt::app::TAboutForm</name>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>连续记录离线分析软件</source>
        <translation>Continuous recording analysis</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>sonalyt::app::TMainForm</name>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>文件太短，没有记录数，不是连续记录文件。</source>
        <translation>The file is too short to hold a record count: it is not a continuous recording.</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>打开(&amp;O)</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>退出(&amp;E)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>上一帧</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>下一帧</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>打印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>增益</source>
        <translation>Gain</translation>
    </message>
    <message>
        <source>探头信息</source>
        <translation>Probe</translation>
    </message>
    <message>
        <source>基本信息</source>
        <translation>Basic settings</translation>
    </message>
    <message>
        <source>基本增益：</source>
        <translation>Base gain:</translation>
    </message>
    <message>
        <source>扫查增益：</source>
        <translation>Scan gain:</translation>
    </message>
    <message>
        <source>表面补偿：</source>
        <translation>Surf. comp.:</translation>
    </message>
    <message>
        <source>探头类型：</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>探头频率：</source>
        <translation>Frequency:</translation>
    </message>
    <message>
        <source>晶片尺寸：</source>
        <translation>Crystal:</translation>
    </message>
    <message>
        <source>声程：</source>
        <translation>Range:</translation>
    </message>
    <message>
        <source>延时：</source>
        <translation>Delay:</translation>
    </message>
    <message>
        <source>前沿：</source>
        <translation>Front:</translation>
    </message>
    <message>
        <source>声速：</source>
        <translation>Velocity:</translation>
    </message>
    <message>
        <source>零点：</source>
        <translation>Zero:</translation>
    </message>
    <message>
        <source>角度：</source>
        <translation>Angle:</translation>
    </message>
    <message>
        <source>通道：</source>
        <translation>Channel:</translation>
    </message>
    <message>
        <source>K值：</source>
        <translation>K value:</translation>
    </message>
    <message>
        <source>无法打开文件“%1”：
%2</source>
        <translation>Cannot open the file “%1”:
%2</translation>
    </message>
    <message>
        <source>语言(&amp;L)</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>找不到界面语言“%1”的翻译文件。</source>
        <translation>The translation file of the interface language “%1” was not found.</translation>
    </message>
</context>
<context>
    <name>sonalyt::report::TReportForm</name>
    <message>
        <source>菜单(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>打印(&amp;P)</source>
        <translation>&amp;Print</translation>
    </message>
    <message>
        <source>导出PDF(&amp;E)</source>
        <translation>&amp;Export PDF...</translation>
    </message>
    <message>
        <source>导出PDF</source>
        <translation>Export PDF</translation>
    </message>
    <message>
        <source>探伤报告.pdf</source>
        <translation>inspection-report.pdf</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>无法保存文件 %1：
%2</source>
        <translation>Cannot save the file %1:
%2</translation>
    </message>
</context>
</TS>
