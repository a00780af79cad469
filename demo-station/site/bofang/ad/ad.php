<!DOCTYPE html>
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=gbk">
<title>广告一</title>
<style>
body { margin: 0; padding: 12px; background: #0088FF; color: #FFFFFF;
       font-family: "Microsoft YaHei", SimSun, sans-serif; }
h1 { font-size: 20px; margin: 0 0 8px 0; }
p { font-size: 14px; line-height: 1.6; margin: 4px 0; }
a { color: #FFFFFF; }
</style>
</head>
<body>
<h1>第一条广告</h1>
<p>汀蔚网络视听台诚招广告合作伙伴。</p>
<p>联系电话：0000-0000000（演示）</p>

</body>
</html>
