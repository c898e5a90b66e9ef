# Writes calc.fods, the flat ODF sheet that calc.xls is exported from (see README.md).
def qa(x):
    from xml.sax.saxutils import escape as e
    return e(x, {'"': '&quot;'})
from xml.sax.saxutils import escape
rows1 = []  # list of (label, cellxml)
def num(v, style=None):
    s = f' table:style-name="{style}"' if style else ''
    return f'<table:table-cell{s} office:value-type="float" office:value="{v}"/>'
def txt(t):
    return f'<table:table-cell office:value-type="string"><text:p>{escape(t)}</text:p></table:table-cell>'
def date(d, style):
    return f'<table:table-cell table:style-name="{style}" office:value-type="date" office:date-value="{d}"/>'
def time(t, style):
    return f'<table:table-cell table:style-name="{style}" office:value-type="time" office:time-value="{t}"/>'
def boolean(b):
    return f'<table:table-cell table:style-name="ceB" office:value-type="boolean" office:boolean-value="{b}"/>'
def formula(f, style=None):
    s = f' table:style-name="{style}"' if style else ''
    return f'<table:table-cell{s} table:formula="{qa(f)}"/>'
R = rows1.append
R(('类型', txt('值')))
for v in ['1001', '-7', '0', '123456789', '536870911', '536870912', '1073741824', '-536870912', '0.5', '1.25', '-0.01', '12.34', '1e+300', '1e-300', '-2.5e-10', '3.14159265358979', '12345678901234567', '0.30000000000000004', '99999999999', '1.5e15', '0.001', '100000000000000000000']:
    R(('数'+v, num(v)))
R(('中文', txt('你好，世界！货品“甲”')))
R(('长中文', txt('长' * 4200)))
R(('长英文', txt(('abcdefghij' * 830) + 'END')))
R(('混合长', txt(('a' * 8200) + '中' * 100 + 'z')))
R((None, None))
R((None, None))
R(('日期ISO', date('2026-12-11', 'ceD1')))
R(('日期年月日', date('2026-12-11', 'ceD2')))
R(('日期美式', date('2002-07-01', 'ceD3')))
R(('日期时间', date('2026-12-11T13:53:48', 'ceDT')))
R(('时间', time('PT13H53M48S', 'ceT')))
R(('时间累计', time('PT30H00M00S', 'ceTE')))
R(('早日期', date('1900-01-01', 'ceD1')))
R(('日期1900-03-01', date('1900-03-01', 'ceD1')))
R(('真', boolean('true')))
R(('假', boolean('false')))
R(('公式NA', formula('of:=NA()')))
R(('公式除零', formula('of:=1/0')))
R(('公式文', formula('of:=CONCATENATE("甲";"乙")')))
R(('公式空文', formula('of:=""')))
R(('公式数', formula('of:=2*3')))
R(('公式日期', formula('of:=DATE(2026;1;2)', 'ceD2')))
R(('公式真', formula('of:=1=1')))
R(('公式长文', formula('of:=REPT("文";4200)')))
R(('公式VALUE', formula('of:=VALUE("x")')))
R(('末行', txt('完')))

def row(cells):
    return '<table:table-row>' + ''.join(cells) + '</table:table-row>'
sheet1 = []
for label, cell in rows1:
    if label is None:
        sheet1.append('<table:table-row><table:table-cell/></table:table-row>')
    else:
        sheet1.append(row([txt(label), cell]))
sheet2 = [row([txt('编码'), txt('名称'), txt('单价')])]
for i in range(400):
    sheet2.append(row([txt(f'G{i:05d}'), txt(f'货品第{i}号' + ('甲乙丙' if i % 3 == 0 else '')), num(str(i + 0.25))]))
styles = '''
<number:date-style style:name="D1"><number:year number:style="long"/><number:text>-</number:text><number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/></number:date-style>
<number:date-style style:name="D2"><number:year number:style="long"/><number:text>年</number:text><number:month/><number:text>月</number:text><number:day/><number:text>日</number:text></number:date-style>
<number:date-style style:name="D3"><number:month/><number:text>/</number:text><number:day/><number:text>/</number:text><number:year number:style="long"/></number:date-style>
<number:date-style style:name="DT"><number:year number:style="long"/><number:text>-</number:text><number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/><number:text> </number:text><number:hours number:style="long"/><number:text>:</number:text><number:minutes number:style="long"/><number:text>:</number:text><number:seconds number:style="long"/></number:date-style>
<number:time-style style:name="T"><number:hours number:style="long"/><number:text>:</number:text><number:minutes number:style="long"/><number:text>:</number:text><number:seconds number:style="long"/></number:time-style>
<number:time-style style:name="TE" number:truncate-on-overflow="false"><number:hours/><number:text>:</number:text><number:minutes number:style="long"/><number:text>:</number:text><number:seconds number:style="long"/></number:time-style>
<number:boolean-style style:name="B"><number:boolean/></number:boolean-style>
<style:style style:name="ceD1" style:family="table-cell" style:data-style-name="D1"/>
<style:style style:name="ceD2" style:family="table-cell" style:data-style-name="D2"/>
<style:style style:name="ceD3" style:family="table-cell" style:data-style-name="D3"/>
<style:style style:name="ceDT" style:family="table-cell" style:data-style-name="DT"/>
<style:style style:name="ceT" style:family="table-cell" style:data-style-name="T"/>
<style:style style:name="ceTE" style:family="table-cell" style:data-style-name="TE"/>
<style:style style:name="ceB" style:family="table-cell" style:data-style-name="B"/>
'''
doc = f'''<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>{styles}</office:automatic-styles>
<office:body><office:spreadsheet>
<table:table table:name="数据"><table:table-column/><table:table-column/>{''.join(sheet1)}</table:table>
<table:table table:name="货品清单"><table:table-column/><table:table-column/><table:table-column/>{''.join(sheet2)}</table:table>
<table:table table:name="空页"><table:table-row><table:table-cell/></table:table-row></table:table>
</office:spreadsheet></office:body></office:document>
'''
open('calc.fods', 'w', encoding='utf-8').write(doc)
