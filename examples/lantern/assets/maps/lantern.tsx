<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.10" tiledversion="1.10.2" name="lantern" tilewidth="16" tileheight="16" tilecount="16" columns="8">
 <image source="lantern.png" width="128" height="32"/>
 <tile id="0">
  <properties>
   <property name="name" value="grass"/>
   <property name="pass" value="URDL"/>
  </properties>
 </tile>
 <tile id="1">
  <properties>
   <property name="name" value="flowers"/>
   <property name="pass" value="URDL"/>
  </properties>
 </tile>
 <tile id="2">
  <properties>
   <property name="name" value="path"/>
   <property name="pass" value="URDL"/>
  </properties>
 </tile>
 <tile id="3">
  <properties>
   <property name="name" value="water"/>
   <property name="pass" value=""/>
  </properties>
 </tile>
 <tile id="4">
  <properties>
   <property name="name" value="tree"/>
   <property name="pass" value=""/>
  </properties>
 </tile>
 <tile id="5">
  <properties>
   <property name="name" value="boulder"/>
   <property name="pass" value=""/>
  </properties>
 </tile>
 <tile id="6">
  <properties>
   <property name="name" value="hedge"/>
   <property name="pass" value="RDL"/>
  </properties>
 </tile>
 <tile id="7">
  <properties>
   <property name="name" value="caveMouth"/>
   <property name="pass" value="URDL"/>
  </properties>
 </tile>
 <tile id="8">
  <properties>
   <property name="name" value="caveFloor"/>
   <property name="pass" value="URDL"/>
  </properties>
 </tile>
 <tile id="9">
  <properties>
   <property name="name" value="caveWall"/>
   <property name="pass" value=""/>
  </properties>
 </tile>
 <tile id="10">
  <properties>
   <property name="name" value="stoneFloor"/>
   <property name="pass" value="URDL"/>
  </properties>
 </tile>
 <tile id="11">
  <properties>
   <property name="name" value="stoneWall"/>
   <property name="pass" value=""/>
  </properties>
 </tile>
 <tile id="12">
  <properties>
   <property name="name" value="bridge"/>
   <property name="pass" value="UD"/>
  </properties>
 </tile>
 <tile id="13">
  <properties>
   <property name="name" value="steps"/>
   <property name="pass" value="URDL"/>
  </properties>
 </tile>
 <tile id="14">
  <properties>
   <property name="name" value="pillar"/>
   <property name="pass" value=""/>
  </properties>
 </tile>
 <tile id="15">
  <properties>
   <property name="name" value="rug"/>
   <property name="pass" value="URDL"/>
  </properties>
 </tile>
</tileset>
