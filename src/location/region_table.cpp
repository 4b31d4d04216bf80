// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The region table: 31 provinces in table order, each with its prefecture-level
// cities in table order.
#include "location/region_table.h"

#include <array>

#include "core/text.h"

namespace brevane {
namespace {

constexpr std::array<CityRow, 11> kHebeiCities{{
    {u"石家", u"石家庄", u"shijiazhuang"},
    {u"唐山", u"唐山", u"tangshan"},
    {u"秦皇岛", u"秦皇岛", u"qinhuangdao"},
    {u"邯郸", u"邯郸", u"handan"},
    {u"邢台", u"邢台", u"xingtai"},
    {u"保定", u"保定", u"baoding"},
    {u"张家", u"张家口", u"zhangjiakou"},
    {u"承德", u"承德", u"chengde"},
    {u"沧州", u"沧州", u"cangzhou"},
    {u"廊坊", u"廊坊", u"langfang"},
    {u"衡水", u"衡水", u"hengshui"},
}};

constexpr std::array<CityRow, 11> kShanxiCities{{
    {u"太原", u"太原", u"taiyuan"},
    {u"大同", u"大同", u"datong"},
    {u"阳泉", u"阳泉", u"yangquan"},
    {u"长治", u"长治", u"changzhi"},
    {u"晋城", u"晋城", u"jincheng"},
    {u"朔州", u"朔州", u"shuozhou"},
    {u"晋中", u"晋中", u"jinzhong"},
    {u"运城", u"运城", u"yuncheng"},
    {u"忻州", u"忻州", u"xinzhou"},
    {u"临汾", u"临汾", u"linfen"},
    {u"吕梁", u"吕梁", u"lvliang"},
}};

constexpr std::array<CityRow, 12> kNeimengguCities{{
    {u"呼和", u"呼和浩特", u"huhehaote"},
    {u"包头", u"包头", u"baotou"},
    {u"乌海", u"乌海", u"wuhai"},
    {u"赤峰", u"赤峰", u"chifeng"},
    {u"通辽", u"通辽", u"tongliao"},
    {u"鄂尔", u"鄂尔多斯", u"ordos"},
    {u"呼伦", u"呼伦贝尔", u"hulunbeir"},
    {u"巴彦", u"巴彦淖尔", u"bayannaoer"},
    {u"乌兰", u"乌兰察布", u"wulanchabu"},
    {u"兴安", u"兴安盟", u"xinganmeng"},
    {u"锡林", u"锡林郭勒", u"xilinguole"},
    {u"阿拉", u"阿拉善", u"alashan"},
}};

constexpr std::array<CityRow, 14> kLiaoningCities{{
    {u"沈阳", u"沈阳", u"shenyang"},
    {u"大连", u"大连", u"dalian"},
    {u"鞍山", u"鞍山", u"anshan"},
    {u"抚顺", u"抚顺", u"fushun"},
    {u"本溪", u"本溪", u"benxi"},
    {u"丹东", u"丹东", u"dandong"},
    {u"锦州", u"锦州", u"jinzhou"},
    {u"营口", u"营口", u"yingkou"},
    {u"阜新", u"阜新", u"fuxin"},
    {u"辽阳", u"辽阳", u"liaoyang"},
    {u"盘锦", u"盘锦", u"panjin"},
    {u"铁岭", u"铁岭", u"tieling"},
    {u"朝阳", u"朝阳", u"chaoyang"},
    {u"葫芦", u"葫芦岛", u"huludao"},
}};

constexpr std::array<CityRow, 9> kJilinCities{{
    {u"长春", u"长春", u"changchun"},
    {u"吉林市", u"吉林市", u"jilinshi"},
    {u"四平", u"四平", u"siping"},
    {u"辽源", u"辽源", u"liaoyuan"},
    {u"通化", u"通化", u"tonghua"},
    {u"白山", u"白山", u"baishan"},
    {u"松原", u"松原", u"songyuan"},
    {u"白城", u"白城", u"baicheng"},
    {u"延边", u"延边", u"yanbian"},
}};

constexpr std::array<CityRow, 13> kHeilongjiangCities{{
    {u"哈尔滨", u"哈尔滨", u"haerbin"},
    {u"齐齐", u"齐齐哈尔", u"qiqihar"},
    {u"鸡西", u"鸡西", u"jixi"},
    {u"鹤岗", u"鹤岗", u"hegang"},
    {u"双鸭", u"双鸭山", u"shuangyashan"},
    {u"大庆", u"大庆", u"daqing"},
    {u"伊春", u"伊春市", u"yichunshi"},
    {u"佳木", u"佳木斯", u"jiamusi"},
    {u"七台", u"七台河", u"qitaihe"},
    {u"牡丹", u"牡丹江", u"mudanjiang"},
    {u"黑河", u"黑河", u"heihe"},
    {u"绥化", u"绥化", u"suihua"},
    {u"大兴", u"大兴安岭", u"daxinganling"},
}};

constexpr std::array<CityRow, 13> kJiangsuCities{{
    {u"南京", u"南京", u"nanjing"},
    {u"无锡", u"无锡", u"wuxi"},
    {u"徐州", u"徐州", u"xuzhou"},
    {u"常州", u"常州", u"changzhou"},
    {u"苏州", u"苏州", u"suzhou"},
    {u"南通", u"南通", u"nantong"},
    {u"连云", u"连云港", u"lianyungang"},
    {u"淮安", u"淮安", u"huaian"},
    {u"盐城", u"盐城", u"yancheng"},
    {u"扬州", u"扬州", u"yangzhou"},
    {u"镇江", u"镇江", u"zhenjiang"},
    {u"泰州", u"泰州", u"taizhou"},
    {u"宿迁", u"宿迁", u"suqian"},
}};

constexpr std::array<CityRow, 11> kZhejiangCities{{
    {u"杭州", u"杭州", u"hangzhou"},
    {u"宁波", u"宁波", u"ningbo"},
    {u"温州", u"温州", u"wenzhou"},
    {u"嘉兴", u"嘉兴", u"jiaxing"},
    {u"湖州", u"湖州", u"huzhou"},
    {u"绍兴", u"绍兴", u"shaoxing"},
    {u"金华", u"金华", u"jinhua"},
    {u"衢州", u"衢州", u"quzhou"},
    {u"舟山", u"舟山", u"zhoushan"},
    {u"台州", u"台州", u"taizhou"},
    {u"丽水", u"丽水", u"lishui"},
}};

constexpr std::array<CityRow, 17> kAnhuiCities{{
    {u"合肥", u"合肥", u"hefei"},
    {u"芜湖", u"芜湖", u"wuhu"},
    {u"蚌埠", u"蚌埠", u"bengbu"},
    {u"淮南", u"淮南", u"huainan"},
    {u"马鞍", u"马鞍山", u"maanshan"},
    {u"淮北", u"淮北", u"huaibei"},
    {u"铜陵", u"铜陵", u"tongling"},
    {u"安庆", u"安庆", u"anqing"},
    {u"黄山", u"黄山", u"huangshan"},
    {u"滁州", u"滁州", u"chuzhou"},
    {u"阜阳", u"阜阳", u"fuyang"},
    {u"宿州", u"宿州", u"suzhou"},
    {u"巢湖", u"巢湖", u"chaohu"},
    {u"六安", u"六安", u"luan"},
    {u"亳州", u"亳州", u"bozhou"},
    {u"池州", u"池州", u"chizhou"},
    {u"宣城", u"宣城", u"xuancheng"},
}};

constexpr std::array<CityRow, 9> kFujianCities{{
    {u"福州", u"福州", u"fuzhou"},
    {u"厦门", u"厦门", u"xiamen"},
    {u"莆田", u"莆田", u"putian"},
    {u"三明", u"三明", u"sanming"},
    {u"泉州", u"泉州", u"quanzhou"},
    {u"漳州", u"漳州", u"zhangzhou"},
    {u"南平", u"南平", u"nanping"},
    {u"龙岩", u"龙岩", u"longyan"},
    {u"宁德", u"宁德", u"ningde"},
}};

constexpr std::array<CityRow, 11> kJiangxiCities{{
    {u"南昌", u"南昌", u"nanchang"},
    {u"景德", u"景德镇", u"jingdezhen"},
    {u"萍乡", u"萍乡", u"pingxiang"},
    {u"九江", u"九江", u"jiujiang"},
    {u"新余", u"新余", u"xinyu"},
    {u"鹰潭", u"鹰潭", u"yingtan"},
    {u"赣州", u"赣州", u"ganzhou"},
    {u"吉安", u"吉安", u"jian"},
    {u"宜春", u"宜春", u"yichun"},
    {u"抚州", u"抚州", u"fuzhou"},
    {u"上饶", u"上饶", u"shangrao"},
}};

constexpr std::array<CityRow, 17> kShandongCities{{
    {u"济南", u"济南", u"jinan"},
    {u"青岛", u"青岛", u"qingdao"},
    {u"淄博", u"淄博", u"zibo"},
    {u"枣庄", u"枣庄", u"zaozhuang"},
    {u"东营", u"东营", u"dongying"},
    {u"烟台", u"烟台", u"yantai"},
    {u"潍坊", u"潍坊", u"weifang"},
    {u"济宁", u"济宁", u"jining"},
    {u"泰安", u"泰安", u"taian"},
    {u"威海", u"威海", u"weihai"},
    {u"日照", u"日照", u"rizhao"},
    {u"莱芜", u"莱芜", u"laiwu"},
    {u"临沂", u"临沂", u"linyi"},
    {u"德州", u"德州", u"dezhou"},
    {u"聊城", u"聊城", u"liaocheng"},
    {u"滨州", u"滨州", u"binzhou"},
    {u"菏泽", u"菏泽市", u"heze"},
}};

constexpr std::array<CityRow, 17> kHenanCities{{
    {u"郑州", u"郑州", u"zhengzhou"},
    {u"开封", u"开封", u"kaifeng"},
    {u"洛阳", u"洛阳", u"luoyang"},
    {u"平顶", u"平顶山", u"pingdingshan"},
    {u"安阳", u"安阳", u"anyang"},
    {u"鹤壁", u"鹤壁", u"hebi"},
    {u"新乡", u"新乡", u"xinxiang"},
    {u"焦作", u"焦作", u"jiaozuo"},
    {u"濮阳", u"濮阳", u"puyang"},
    {u"许昌", u"许昌", u"xuchang"},
    {u"漯河", u"漯河", u"luohe"},
    {u"三门", u"三门峡", u"sanmenxia"},
    {u"南阳", u"南阳", u"nanyang"},
    {u"商丘", u"商丘", u"shangqiu"},
    {u"信阳", u"信阳", u"xinyang"},
    {u"周口", u"周口", u"zhoukou"},
    {u"驻马", u"驻马店", u"zhumadian"},
}};

constexpr std::array<CityRow, 13> kHubeiCities{{
    {u"武汉", u"武汉", u"wuhan"},
    {u"黄石", u"黄石", u"huangshi"},
    {u"十堰", u"十堰", u"shiyan"},
    {u"宜昌", u"宜昌", u"yichang"},
    {u"襄樊", u"襄樊", u"xiangfan"},
    {u"鄂州", u"鄂州", u"ezhou"},
    {u"荆门", u"荆门", u"jingmen"},
    {u"孝感", u"孝感", u"xiaogan"},
    {u"荆州", u"荆州", u"jingzhou"},
    {u"黄冈", u"黄冈", u"huanggang"},
    {u"咸宁", u"咸宁", u"xianning"},
    {u"随州", u"随州", u"suizhou"},
    {u"恩施", u"恩施", u"enshi"},
}};

constexpr std::array<CityRow, 14> kHunanCities{{
    {u"长沙", u"长沙", u"changsha"},
    {u"株洲", u"株洲", u"zhuzhou"},
    {u"湘潭", u"湘潭", u"xiangtan"},
    {u"衡阳", u"衡阳", u"hengyang"},
    {u"邵阳", u"邵阳", u"shaoyang"},
    {u"岳阳", u"岳阳", u"yueyang"},
    {u"常德", u"常德", u"changde"},
    {u"张家", u"张家界", u"zhangjiajie"},
    {u"益阳", u"益阳", u"yiyang"},
    {u"郴州", u"郴州", u"chenzhou"},
    {u"永州", u"永州", u"yongzhou"},
    {u"怀化", u"怀化", u"huaihua"},
    {u"娄底", u"娄底", u"loudi"},
    {u"湘西", u"湘西", u"xiangxi"},
}};

constexpr std::array<CityRow, 21> kGuangdongCities{{
    {u"广州", u"广州", u"guangzhou"}, {u"韶关", u"韶关", u"shaoguan"},
    {u"深圳", u"深圳", u"shenzhen"},  {u"珠海", u"珠海", u"zhuhai"},
    {u"汕头", u"汕头", u"shantou"},   {u"佛山", u"佛山", u"foshan"},
    {u"江门", u"江门", u"jiangmen"},  {u"湛江", u"湛江", u"zhanjiang"},
    {u"茂名", u"茂名", u"maoming"},   {u"肇庆", u"肇庆", u"zhaoqing"},
    {u"惠州", u"惠州", u"huizhou"},   {u"梅州", u"梅州", u"meizhou"},
    {u"汕尾", u"汕尾", u"shanwei"},   {u"河源", u"河源", u"heyuan"},
    {u"阳江", u"阳江", u"yangjiang"}, {u"清远", u"清远", u"qingyuan"},
    {u"东莞", u"东莞", u"dongguan"},  {u"中山", u"中山", u"zhongshan"},
    {u"潮州", u"潮州", u"chaozhou"},  {u"揭阳", u"揭阳", u"jieyang"},
    {u"云浮", u"云浮", u"yunfu"},
}};

constexpr std::array<CityRow, 14> kGuangxiCities{{
    {u"南宁", u"南宁", u"nanning"},
    {u"柳州", u"柳州", u"liuzhou"},
    {u"桂林", u"桂林", u"guilin"},
    {u"梧州", u"梧州", u"wuzhou"},
    {u"北海", u"北海", u"beihai"},
    {u"防城", u"防城港", u"fangchenggang"},
    {u"钦州", u"钦州", u"qinzhou"},
    {u"贵港", u"贵港", u"guigang"},
    {u"玉林", u"玉林", u"yulin"},
    {u"百色", u"百色", u"baise"},
    {u"贺州", u"贺州", u"hezhou"},
    {u"河池", u"河池", u"hechi"},
    {u"来宾", u"来宾", u"laibin"},
    {u"崇左", u"崇左", u"chongzuo"},
}};

constexpr std::array<CityRow, 2> kHainanCities{{
    {u"海口", u"海口", u"haikou"},
    {u"三亚", u"三亚", u"sanya"},
}};

constexpr std::array<CityRow, 21> kSichuanCities{{
    {u"成都", u"成都", u"chengdu"},     {u"自贡", u"自贡", u"zigong"},
    {u"攀枝", u"攀枝花", u"panzhihua"}, {u"泸州", u"泸州", u"luzhou"},
    {u"德阳", u"德阳", u"deyang"},      {u"绵阳", u"绵阳", u"mianyang"},
    {u"广元", u"广元", u"guangyuan"},   {u"遂宁", u"遂宁", u"suining"},
    {u"内江", u"内江", u"neijiang"},    {u"乐山", u"乐山", u"leshan"},
    {u"南充", u"南充", u"nanchong"},    {u"眉山", u"眉山", u"meishan"},
    {u"宜宾", u"宜宾", u"yibin"},       {u"广安", u"广安", u"guangan"},
    {u"达州", u"达州", u"dazhou"},      {u"雅安", u"雅安", u"yaan"},
    {u"巴中", u"巴中", u"bazhong"},     {u"资阳", u"资阳", u"ziyang"},
    {u"阿坝", u"阿坝", u"aba"},         {u"甘孜", u"甘孜", u"ganzi"},
    {u"凉山", u"凉山", u"liangshan"},
}};

constexpr std::array<CityRow, 9> kGuizhouCities{{
    {u"贵阳", u"贵阳", u"guiyang"},
    {u"六盘", u"六盘水", u"liupanshui"},
    {u"遵义", u"遵义", u"zunyi"},
    {u"安顺", u"安顺", u"anshun"},
    {u"铜仁", u"铜仁", u"tongren"},
    {u"黔西", u"黔西南", u"qianxinan"},
    {u"毕节", u"毕节", u"bijie"},
    {u"黔东", u"黔东南", u"qiandongnan"},
    {u"黔南", u"黔南", u"qiannan"},
}};

constexpr std::array<CityRow, 16> kYunnanCities{{
    {u"昆明", u"昆明", u"kunming"},
    {u"曲靖", u"曲靖", u"qujing"},
    {u"玉溪", u"玉溪", u"yuxi"},
    {u"保山", u"保山", u"baoshan"},
    {u"昭通", u"昭通", u"zhaotong"},
    {u"丽江", u"丽江", u"lijiang"},
    {u"普洱", u"普洱", u"puer"},
    {u"临沧", u"临沧", u"lincang"},
    {u"楚雄", u"楚雄", u"chuxiong"},
    {u"红河", u"红河", u"honghe"},
    {u"文山", u"文山", u"wenshan"},
    {u"西双", u"西双版纳", u"xishuangbanna"},
    {u"大理", u"大理", u"dali"},
    {u"德宏", u"德宏", u"dehong"},
    {u"怒江", u"怒江", u"nujiang"},
    {u"迪庆", u"迪庆", u"diqing"},
}};

constexpr std::array<CityRow, 7> kXicangCities{{
    {u"拉萨", u"拉萨", u"lhasa"},
    {u"昌都", u"昌都", u"changdu"},
    {u"山南", u"山南", u"shannan"},
    {u"日喀", u"日喀则", u"rikeze"},
    {u"那曲", u"那曲", u"naqu"},
    {u"阿里", u"阿里", u"ali"},
    {u"林芝", u"林芝", u"linzhi"},
}};

constexpr std::array<CityRow, 10> kShanxi3Cities{{
    {u"西安", u"西安", u"xian"},
    {u"铜川", u"铜川", u"tongchuan"},
    {u"宝鸡", u"宝鸡", u"baoji"},
    {u"咸阳", u"咸阳", u"xianyang"},
    {u"渭南", u"渭南", u"weinan"},
    {u"延安", u"延安", u"yanan"},
    {u"汉中", u"汉中", u"hanzhong"},
    {u"榆林", u"榆林", u"yulin"},
    {u"安康", u"安康", u"ankang"},
    {u"商洛", u"商洛", u"shangluo"},
}};

constexpr std::array<CityRow, 14> kGansuCities{{
    {u"兰州", u"兰州", u"lanzhou"},
    {u"嘉峪", u"嘉峪关", u"jiayuguan"},
    {u"金昌", u"金昌", u"jinchang"},
    {u"白银", u"白银", u"baiyin"},
    {u"天水", u"天水", u"tianshui"},
    {u"武威", u"武威", u"wuwei"},
    {u"张掖", u"张掖", u"zhangye"},
    {u"平凉", u"平凉", u"pingliang"},
    {u"酒泉", u"酒泉", u"jiuquan"},
    {u"庆阳", u"庆阳", u"qingyang"},
    {u"定西", u"定西", u"dingxi"},
    {u"陇南", u"陇南", u"longnan"},
    {u"临夏", u"临夏", u"linxia"},
    {u"甘南", u"甘南", u"gannan"},
}};

constexpr std::array<CityRow, 8> kQinghaiCities{{
    {u"西宁", u"西宁", u"xining"},
    {u"海东", u"海东", u"haidong"},
    {u"海北", u"海北", u"haibei"},
    {u"黄南", u"黄南", u"huangnan"},
    {u"海南", u"海南州", u"hailanzhou"},
    {u"果洛", u"果洛", u"golog"},
    {u"玉树", u"玉树", u"yushu"},
    {u"海西", u"海西", u"haixi"},
}};

constexpr std::array<CityRow, 5> kNingxiaCities{{
    {u"银川", u"银川", u"yinchuan"},
    {u"石嘴", u"石嘴山", u"shizuishan"},
    {u"吴忠", u"吴忠", u"wuzhong"},
    {u"固原", u"固原", u"guyuan"},
    {u"中卫", u"中卫", u"zhongwei"},
}};

constexpr std::array<CityRow, 14> kXinjiangCities{{
    {u"乌鲁", u"乌鲁木齐", u"wulumuqi"},
    {u"克拉", u"克拉玛依", u"karamay"},
    {u"吐鲁", u"吐鲁番", u"turpan"},
    {u"哈密", u"哈密", u"hami"},
    {u"昌吉", u"昌吉", u"changji"},
    {u"博尔", u"博尔塔拉", u"bortala"},
    {u"巴音", u"巴音郭楞", u"bayingolin"},
    {u"阿克", u"阿克苏", u"aksu"},
    {u"克孜", u"克孜勒苏", u"kizilsu"},
    {u"喀什", u"喀什", u"kaxgar"},
    {u"和田", u"和田", u"hotan"},
    {u"伊犁", u"伊犁", u"ili"},
    {u"塔城", u"塔城", u"tacheng"},
    {u"阿勒泰", u"阿勒泰", u"altay"},
}};

constexpr std::array<ProvinceRow, 31> kProvinces{{
    {u"北京", u"北京", u"beijing", {}},
    {u"天津", u"天津", u"tianjin", {}},
    {u"河北", u"河北", u"hebei", kHebeiCities},
    {u"山西", u"山西", u"shanxi", kShanxiCities},
    {u"内蒙", u"内蒙古", u"neimenggu", kNeimengguCities},
    {u"辽宁", u"辽宁", u"liaoning", kLiaoningCities},
    {u"吉林", u"吉林", u"jilin", kJilinCities},
    {u"黑龙", u"黑龙江", u"heilongjiang", kHeilongjiangCities},
    {u"上海", u"上海", u"shanghai", {}},
    {u"江苏", u"江苏", u"jiangsu", kJiangsuCities},
    {u"浙江", u"浙江", u"zhejiang", kZhejiangCities},
    {u"安徽", u"安徽", u"anhui", kAnhuiCities},
    {u"福建", u"福建", u"fujian", kFujianCities},
    {u"江西", u"江西", u"jiangxi", kJiangxiCities},
    {u"山东", u"山东", u"shandong", kShandongCities},
    {u"河南", u"河南", u"henan", kHenanCities},
    {u"湖北", u"湖北", u"hubei", kHubeiCities},
    {u"湖南", u"湖南", u"hunan", kHunanCities},
    {u"广东", u"广东", u"guangdong", kGuangdongCities},
    {u"广西", u"广西", u"guangxi", kGuangxiCities},
    {u"海南", u"海南", u"hainan", kHainanCities},
    {u"重庆", u"重庆", u"chongqing", {}},
    {u"四川", u"四川", u"sichuan", kSichuanCities},
    {u"贵州", u"贵州", u"guizhou", kGuizhouCities},
    {u"云南", u"云南", u"yunnan", kYunnanCities},
    {u"西藏", u"西藏", u"xicang", kXicangCities},
    {u"陕西", u"陕西", u"shanxi-3", kShanxi3Cities},
    {u"甘肃", u"甘肃", u"gansu", kGansuCities},
    {u"青海", u"青海", u"qinghai", kQinghaiCities},
    {u"宁夏", u"宁夏", u"ningxia", kNingxiaCities},
    {u"新疆", u"新疆", u"xinjiang", kXinjiangCities},
}};

// 海南 is the key of the province 海南 and of a prefecture of 青海.
constexpr const ProvinceRow& kHainan = kProvinces[20];
constexpr const ProvinceRow& kQinghai = kProvinces[28];
constexpr const ProvinceRow& kGuangdong = kProvinces[18];
static_assert(kHainan.slug == std::u16string_view(u"hainan") &&
              kQinghai.slug == std::u16string_view(u"qinghai") &&
              kGuangdong.slug == std::u16string_view(u"guangdong"));

}  // namespace

std::span<const ProvinceRow> RegionTable() {
    return kProvinces;
}

const ProvinceRow& DefaultProvince() {
    return kGuangdong;
}

std::optional<Region> FindRegion(std::u16string_view fragment) {
    const bool namesQinghai = text::Contains(fragment, kQinghai.key);
    for (const ProvinceRow& province : kProvinces) {
        if (!text::Contains(fragment, province.key)) {
            continue;
        }
        // A fragment that names 青海 as well means its prefecture 海南, which the
        // earlier province row 海南 would otherwise take.
        if (&province == &kHainan && namesQinghai) {
            continue;
        }
        Region region{std::u16string(province.name), std::u16string(province.slug), {}, {}};
        for (const CityRow& city : province.cities) {
            if (text::Contains(fragment, city.key)) {
                region.cityName = city.name;
                region.citySlug = city.slug;
                break;
            }
        }
        return region;
    }
    return std::nullopt;
}

bool MatchRegion(std::u16string_view fragment, WindowValues& values) {
    std::optional<Region> region = FindRegion(fragment);
    if (!region) {
        return false;
    }
    values.provinceName = std::move(region->provinceName);
    values.provinceSlug = std::move(region->provinceSlug);
    values.cityName = std::move(region->cityName);
    values.citySlug = std::move(region->citySlug);
    return true;
}

}  // namespace brevane
